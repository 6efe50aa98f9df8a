#include "CParamsDlgControls.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "CDialogUnits.h"

QPushButton* CParamsDlgControls::Button(QDialog& dialog, const CDialogUnits& units, const char* text,
                                        int x, int y, int w, int h)
{
    auto* button = new QPushButton(QString::fromLatin1(text), &dialog);
    units.Place(*button, x, y, w, h);
    return button;
}

QLineEdit* CParamsDlgControls::Edit(QDialog& dialog, const CDialogUnits& units, int x, int y, int w,
                                    int h)
{
    auto* edit = new QLineEdit(&dialog);
    edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    units.Place(*edit, x, y, w, h);
    return edit;
}

QLabel* CParamsDlgControls::Label(QDialog& dialog, const CDialogUnits& units, const char* text, int x,
                                  int y, int w, int h, Qt::Alignment alignment)
{
    auto* label = new QLabel(QString::fromLatin1(text), &dialog);
    label->setAlignment(alignment);
    units.Place(*label, x, y, w, h);
    return label;
}

QCheckBox* CParamsDlgControls::CheckBox(QDialog& dialog, const CDialogUnits& units, const char* text,
                                        int x, int y, int w, int h)
{
    auto* box = new QCheckBox(QString::fromLatin1(text), &dialog);
    units.Place(*box, x, y, w, h);
    return box;
}
