#include "CMonoParamsDlg.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWhatsThis>

#include "CDataExchange.h"
#include "CDialogUnits.h"
#include "CFilterSettings.h"
#include "CParamsDlgControls.h"

CMonoParamsDlg::CMonoParamsDlg(ISettings& settings, IMessageSink& messages, HelpRequest help,
                               QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowContextHelpButtonHint),
      m_messages(messages), m_help(std::move(help))
{
    const CMonoParams stored = CFilterSettings::ReadMono(settings);
    m_nIntensity = stored.m_plane.m_nIntensity;
    m_nLength = stored.m_plane.m_nLength;
    m_nWidth = stored.m_plane.m_nWidth;
    m_bMirror = stored.m_bMirror;

    setWindowTitle(QStringLiteral("Set Parameters"));
    BuildControls();
    UpdateData(false);
    m_pOkButton->setFocus(Qt::OtherFocusReason);
}

CMonoParamsDlg::~CMonoParamsDlg() = default;

void CMonoParamsDlg::BuildControls()
{
    const CDialogUnits units(*this);
    setFixedSize(units.X(174), units.Y(119));

    m_pOkButton = CParamsDlgControls::Button(*this, units, "OK", 117, 7, 50, 14);
    m_pOkButton->setDefault(true);
    m_pCancelButton = CParamsDlgControls::Button(*this, units, "Cancel", 117, 24, 50, 14);
    CParamsDlgControls::Label(*this, units, "Intensity:", 7, 7, 34, 13);
    m_pIntensityEdit = CParamsDlgControls::Edit(*this, units, 45, 7, 45, 14);
    CParamsDlgControls::Label(*this, units, "Length:", 7, 29, 34, 13);
    m_pLengthEdit = CParamsDlgControls::Edit(*this, units, 45, 29, 45, 14);
    CParamsDlgControls::Label(*this, units, "Width:", 7, 52, 34, 13);
    m_pWidthEdit = CParamsDlgControls::Edit(*this, units, 45, 52, 45, 14);
    m_pDefaultsButton = CParamsDlgControls::Button(*this, units, "Defaults", 117, 52, 50, 14);
    m_pProcessAllBox = CParamsDlgControls::CheckBox(*this, units, "Process all open images.", 22, 70, 132, 10);
    m_pMirrorBox = CParamsDlgControls::CheckBox(*this, units, "Mirror Image before processing.", 22, 83, 132, 10);
    CParamsDlgControls::Label(*this, units, "v1.8", 7, 104, 15, 8, Qt::AlignLeft | Qt::AlignTop);

    QWidget::setTabOrder(m_pOkButton, m_pCancelButton);
    QWidget::setTabOrder(m_pCancelButton, m_pIntensityEdit);
    QWidget::setTabOrder(m_pIntensityEdit, m_pLengthEdit);
    QWidget::setTabOrder(m_pLengthEdit, m_pWidthEdit);
    QWidget::setTabOrder(m_pWidthEdit, m_pMirrorBox);
    QWidget::setTabOrder(m_pMirrorBox, m_pDefaultsButton);
    QWidget::setTabOrder(m_pDefaultsButton, m_pProcessAllBox);

    m_pIntensityEdit->setToolTip(QStringLiteral("Intensity level at which pixels will be considered blooming candidates."));
    m_pLengthEdit->setToolTip(QStringLiteral("Number of vertical pixels above the intensity level to consider a bloom."));
    m_pWidthEdit->setToolTip(QStringLiteral("Number of pixels from bloom center to get pixel replacement pixels."));
    m_pMirrorBox->setToolTip(QStringLiteral("Reverses the side of the bloom for selecting replacement pixels."));
    m_pProcessAllBox->setToolTip(QStringLiteral("Runs the filter on all open images."));
    m_pDefaultsButton->setToolTip(QStringLiteral("Restore to original settings."));

    m_controlIds = {
        {m_pOkButton, 1},           {m_pCancelButton, 2},         {m_pIntensityEdit, kIdIntensity},
        {m_pLengthEdit, kIdLength}, {m_pWidthEdit, kIdWidth},     {m_pMirrorBox, kIdMirror},
        {m_pDefaultsButton, kIdDefaults}, {m_pProcessAllBox, kIdProcessAll},
    };
    // The caption's help button puts the pointer in "What's This?" mode; the
    // click that follows arrives here as a WhatsThis event on the control.
    for (QObject* child : children())
        if (child->isWidgetType())
            child->installEventFilter(this);

    connect(m_pOkButton, &QPushButton::clicked, this, &CMonoParamsDlg::accept);
    connect(m_pCancelButton, &QPushButton::clicked, this, &CMonoParamsDlg::reject);
    connect(m_pDefaultsButton, &QPushButton::clicked, this, &CMonoParamsDlg::OnDefaults);
    connect(m_pMirrorBox, &QCheckBox::clicked, this, &CMonoParamsDlg::OnMirrorClicked);
    connect(m_pProcessAllBox, &QCheckBox::clicked, this, &CMonoParamsDlg::OnProcessAllClicked);
}

void CMonoParamsDlg::DoDataExchange(CDataExchange& exchange)
{
    exchange.UIntField(*m_pIntensityEdit, m_nIntensity, 1, kMaxIntensity);
    exchange.UIntField(*m_pLengthEdit, m_nLength, 1, kMaxLength);
    exchange.UIntField(*m_pWidthEdit, m_nWidth, 1, kMaxWidth);
    exchange.Check(*m_pMirrorBox, m_bMirror);
}

bool CMonoParamsDlg::UpdateData(bool saveAndValidate)
{
    CDataExchange exchange(saveAndValidate, m_messages);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

void CMonoParamsDlg::accept()
{
    if (UpdateData(true))
        QDialog::accept();
}

CMonoParams CMonoParamsDlg::Params() const
{
    CMonoParams params;
    params.m_plane = {m_nIntensity, m_nLength, m_nWidth};
    params.m_bMirror = m_bMirror;
    params.m_bProcessAll = m_bProcessAll;
    return params;
}

void CMonoParamsDlg::OnMirrorClicked()
{
    m_bMirror = !m_bMirror;
}

void CMonoParamsDlg::OnProcessAllClicked()
{
    m_bProcessAll = !m_bProcessAll;
}

void CMonoParamsDlg::OnDefaults()
{
    // On screen only: the members change when OK is pressed.
    m_pIntensityEdit->setText(QString::number(60000));
    m_pLengthEdit->setText(QString::number(5));
    m_pWidthEdit->setText(QString::number(2));
}

uint32_t CMonoParamsDlg::HelpContextFor(int controlId)
{
    switch (controlId) {
    case kIdIntensity:
    case kIdLength:
    case kIdWidth:
    case kIdMirror:
    case kIdProcessAll:
        return 0x20000u + static_cast<uint32_t>(controlId);
    default:
        return 0x20000u + kIdDialog;
    }
}

void CMonoParamsDlg::OnHelpInfo(const QWidget* control)
{
    const auto found = m_controlIds.find(control);
    const int id = found != m_controlIds.end() ? found->second : kIdDialog;
    if (m_help)
        m_help(HelpContextFor(id));
}

bool CMonoParamsDlg::event(QEvent* event)
{
    // Claim F1 before any application-wide shortcut sees it, so that it
    // reaches keyPressEvent as context help for the focused control.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::WhatsThis) {
        QWhatsThis::leaveWhatsThisMode();
        OnHelpInfo(this);
        return true;
    }
    if (event->type() == QEvent::QueryWhatsThis) {
        event->accept();
        return true;
    }
    return QDialog::event(event);
}

void CMonoParamsDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        OnHelpInfo(focusWidget());
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CMonoParamsDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::QueryWhatsThis) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::WhatsThis) {
        QWhatsThis::leaveWhatsThisMode();
        OnHelpInfo(static_cast<QWidget*>(watched));
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        event->accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
