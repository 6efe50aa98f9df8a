#pragma once
#include <Qt>

class CDialogUnits;
class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;

// The control styles shared by both parameter dialogs, placed in dialog units:
// digits-only right-aligned edits, right-aligned labels, self-toggling check
// boxes and push buttons.
class CParamsDlgControls {
public:
    static QPushButton* Button(QDialog& dialog, const CDialogUnits& units, const char* text, int x,
                               int y, int w, int h);
    static QLineEdit* Edit(QDialog& dialog, const CDialogUnits& units, int x, int y, int w, int h);
    static QLabel* Label(QDialog& dialog, const CDialogUnits& units, const char* text, int x, int y,
                         int w, int h, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter);
    static QCheckBox* CheckBox(QDialog& dialog, const CDialogUnits& units, const char* text, int x,
                               int y, int w, int h);
};
