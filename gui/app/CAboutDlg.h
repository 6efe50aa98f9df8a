#pragma once
#include <QDialog>

// Help > About Dorvane: the program's icon, name and version, and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* pParent = nullptr);

    static QString VersionText();
};
