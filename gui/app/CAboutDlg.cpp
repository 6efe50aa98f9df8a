#include "CAboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "Resource.h"

QString CAboutDlg::VersionText()
{
    return QStringLiteral("Dorvane Version 1.8");
}

CAboutDlg::CAboutDlg(QWidget* pParent) : QDialog(pParent)
{
    setObjectName(QStringLiteral("AboutDlg"));
    setWindowTitle(QStringLiteral("About Dorvane"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);

    auto* pIcon = new QLabel(this);
    pIcon->setPixmap(QIcon(QStringLiteral(DORVANE_ICON_MAIN)).pixmap(QSize(32, 32)));
    pIcon->setAlignment(Qt::AlignTop);
    auto* pText = new QLabel(VersionText(), this);
    pText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* pOk = new QPushButton(QStringLiteral("OK"), this);
    pOk->setDefault(true);
    pOk->setMinimumWidth(75);
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);

    auto* pLayout = new QGridLayout(this);
    pLayout->setContentsMargins(16, 14, 12, 14);
    pLayout->setHorizontalSpacing(16);
    pLayout->addWidget(pIcon, 0, 0, 2, 1);
    pLayout->addWidget(pText, 0, 1, 2, 1);
    pLayout->addWidget(pOk, 0, 2, Qt::AlignTop);
    pLayout->setColumnStretch(1, 1);
    setMinimumSize(352, 106);
    setSizeGripEnabled(false);
}
