#include "view/CStretchDlg.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSlider>
#include <algorithm>

#include "app/CDorvaneApp.h"
#include "app/CDorvaneToolBar.h"
#include "app/CMainFrame.h"
#include "app/CWaitCursor.h"
#include "app/Resource.h"
#include "filter/CDialogUnits.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/ISettings.h"
#include "view/CDorvaneView.h"
#include "view/CHistogramStrip.h"
#include "view/CStretchScale.h"
#include "view/CStretchSlider.h"

namespace {

QLineEdit* MakeEdit(QWidget* parent) {
    auto* pEdit = new QLineEdit(parent);
    pEdit->setAlignment(Qt::AlignRight);
    pEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), pEdit));
    return pEdit;
}

}  // namespace

CStretchDlg::CStretchDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Stretch"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    if (CDorvaneApp* pApp = CDorvaneApp::Instance())
        m_pToolBar = pApp->m_pToolBar;

    // Tab order follows creation: Min edit, Max edit, Min slider, Max slider.
    const CDialogUnits units(*this);
    m_editMin = MakeEdit(this);
    units.Place(*m_editMin, 38, 7, 47, 13);
    auto* pMinLabel = new QLabel(QStringLiteral("Min:"), this);
    units.Place(*pMinLabel, 21, 9, 14, 8);
    m_editMax = MakeEdit(this);
    units.Place(*m_editMax, 38, 47, 47, 13);
    auto* pMaxLabel = new QLabel(QStringLiteral("Max:"), this);
    units.Place(*pMaxLabel, 19, 49, 16, 8);
    for (QLabel* pLabel : {pMinLabel, pMaxLabel})
        pLabel->setMinimumHeight(pLabel->sizeHint().height());
    m_sliderMin = new CStretchSlider(this);
    units.Place(*m_sliderMin, 7, 21, 101, 19);
    m_sliderMax = new CStretchSlider(this);
    units.Place(*m_sliderMax, 7, 61, 101, 19);
    // Below the original controls, which keep their places.
    m_pHistogram = new CHistogramStrip([this] { return CurrentImage(); }, this);
    units.Place(*m_pHistogram, 7, 84, 101, 28);
    m_buttonAuto = new QPushButton(QStringLiteral("&Auto"), this);
    units.Place(*m_buttonAuto, 58, 116, 50, 14);
    // Enter applies the edits wherever the focus is, as before.
    m_buttonAuto->setAutoDefault(false);
    connect(m_buttonAuto, &QPushButton::clicked, this, &CStretchDlg::OnAuto);
    setFixedSize(units.X(115), units.Y(135));

    for (QSlider* pSlider : {m_sliderMin, m_sliderMax}) {
        connect(pSlider, &QSlider::actionTriggered, this,
                [this, pSlider](int nAction) { OnSliderAction(pSlider, nAction); });
        connect(pSlider, &QSlider::sliderReleased, this,
                [this, pSlider] { OnHScroll(SB_THUMBPOSITION, pSlider); });
    }
}

CStretchDlg::~CStretchDlg() {
    CDorvaneApp* pApp = CDorvaneApp::Instance();
    if (pApp == nullptr)
        return;
    // Destroyed without being closed (the main window is going away): keep
    // the position, but leave the frame alone, which may be half gone.
    if (!m_bPositionSaved)
        WritePosition(pApp, false);
    if (pApp->m_pStretchDlg == this)
        pApp->m_pStretchDlg = nullptr;
}

CAstroImage* CStretchDlg::CurrentImage() const {
    CDorvaneApp* pApp = CDorvaneApp::Instance();
    if (pApp == nullptr || pApp->m_pCurrentDoc == nullptr)
        return nullptr;
    return pApp->m_pCurrentDoc->m_pImage;
}

uint32_t CStretchDlg::FullScale() const {
    CDorvaneApp* pApp = CDorvaneApp::Instance();
    return pApp ? pApp->m_shared.m_nFullScale : 0;
}

uint32_t CStretchDlg::ReadEdit(const QLineEdit* pEdit) {
    // Text that is no number, or too big for one, reads as 0.
    bool bOk = false;
    const int nValue = pEdit->text().toInt(&bOk);
    return bOk ? static_cast<uint32_t>(nValue) : 0;
}

void CStretchDlg::OnInitDialog() {
    if (m_bInitialized)
        return;
    m_bInitialized = true;
    m_editMax->setText(QString::number(m_nMax));
    m_editMin->setText(QString::number(m_nMin));
    RestorePosition();
    for (QSlider* pSlider : {m_sliderMin, m_sliderMax})
        pSlider->setPageStep(static_cast<int>(std::min<uint32_t>(g_nPageStep, INT32_MAX)));
    SetSliderPositions();
    m_pHistogram->SetMarks(m_nMin, m_nMax, FullScale());
    FollowCurrentDocument();
}

void CStretchDlg::showEvent(QShowEvent* event) {
    OnInitDialog();
    QDialog::showEvent(event);
}

void CStretchDlg::RestorePosition() {
    CDorvaneApp* pApp = CDorvaneApp::Instance();
    if (pApp == nullptr)
        return;
    // Never placed before: over the middle of the main window rather than
    // over its menus at the screen's corner.
    constexpr int kUnset = INT32_MIN;
    const int nLeft = pApp->Settings().GetInt("Settings", "Stretch Left", kUnset);
    const int nTop = pApp->Settings().GetInt("Settings", "Stretch Top", kUnset);
    if (nLeft == kUnset || nTop == kUnset) {
        CentreOverMainWindow(pApp->m_pMainFrame);
        return;
    }
    QPoint pos(nLeft, nTop);
    // A position saved on a screen that is gone would leave the dialog
    // where nobody can reach it: bring it back onto the visible screen when
    // not enough of it to grab would show.
    const QRect rcDialog(pos, frameGeometry().size().expandedTo(size()));
    bool bVisible = false;
    for (const QScreen* pScreen : QGuiApplication::screens()) {
        const QRect rcShown = pScreen->availableGeometry().intersected(rcDialog);
        if (rcShown.width() >= 40 && rcShown.height() >= 20)
            bVisible = true;
    }
    if (!bVisible && QGuiApplication::primaryScreen() != nullptr) {
        const QRect rcScreen = QGuiApplication::primaryScreen()->availableGeometry();
        pos.setX(std::clamp(pos.x(), rcScreen.left(),
                            std::max(rcScreen.left(), rcScreen.right() - rcDialog.width() + 1)));
        pos.setY(std::clamp(pos.y(), rcScreen.top(),
                            std::max(rcScreen.top(), rcScreen.bottom() - rcDialog.height() + 1)));
    }
    move(pos);
}

void CStretchDlg::CentreOverMainWindow(const QWidget* pMain) {
    const QScreen* pScreen = QGuiApplication::primaryScreen();
    const QRect rcOver = pMain != nullptr && pMain->isVisible() ? pMain->frameGeometry()
                         : pScreen != nullptr                  ? pScreen->availableGeometry()
                                                               : QRect();
    QRect rcDialog(QPoint(0, 0), frameGeometry().size().expandedTo(size()));
    rcDialog.moveCenter(rcOver.center());
    move(rcDialog.topLeft());
}

void CStretchDlg::SetSliderPositions() {
    const uint32_t nFullScale = FullScale();
    m_sliderMin->setValue(static_cast<int>(CStretchScale::Position(m_nMin, nFullScale)));
    m_sliderMax->setValue(static_cast<int>(CStretchScale::Position(m_nMax, nFullScale)));
}

void CStretchDlg::OnSliderAction(QSlider* pSlider, int nAction) {
    switch (nAction) {
        case QAbstractSlider::SliderSingleStepAdd: OnHScroll(SB_LINEDOWN, pSlider); break;
        case QAbstractSlider::SliderSingleStepSub: OnHScroll(SB_LINEUP, pSlider); break;
        case QAbstractSlider::SliderPageStepAdd: OnHScroll(SB_PAGEDOWN, pSlider); break;
        case QAbstractSlider::SliderPageStepSub: OnHScroll(SB_PAGEUP, pSlider); break;
        case QAbstractSlider::SliderMove: OnHScroll(SB_THUMBTRACK, pSlider); break;
        case QAbstractSlider::SliderToMinimum: OnHScroll(SB_TOP, pSlider); break;
        case QAbstractSlider::SliderToMaximum: OnHScroll(SB_BOTTOM, pSlider); break;
        default: break;
    }
}

void CStretchDlg::OnHScroll(int nCode, QSlider* pSlider) {
    const bool bMin = pSlider == m_sliderMin;
    if (!bMin && pSlider != m_sliderMax)
        return;
    if (CurrentImage() == nullptr)
        return;
    uint32_t& v = bMin ? m_nMin : m_nMax;
    QLineEdit* pEdit = bMin ? m_editMin : m_editMax;
    const uint32_t nFullScale = FullScale();
    switch (nCode) {
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            v = CStretchScale::Value(static_cast<uint32_t>(pSlider->sliderPosition()), nFullScale);
            break;
        case SB_LINEDOWN:
        case SB_PAGEDOWN:
            v = CStretchScale::StepUp(v, nCode == SB_LINEDOWN ? g_nLineStep : g_nPageStep, nFullScale);
            pSlider->setSliderPosition(static_cast<int>(CStretchScale::Position(v, nFullScale)));
            break;
        case SB_LINEUP:
        case SB_PAGEUP:
            v = CStretchScale::StepDown(v, nCode == SB_LINEUP ? g_nLineStep : g_nPageStep);
            pSlider->setSliderPosition(static_cast<int>(CStretchScale::Position(v, nFullScale)));
            break;
        default:
            return;
    }
    pEdit->setText(QString::number(v));
    if (bMin)
        ApplyMin();
    else
        ApplyMax();
}

void CStretchDlg::Remap(CAstroImage& image) {
    m_pHistogram->SetMarks(m_nMin, m_nMax, FullScale());
    image.UpdateDisplay();
    CDorvaneApp* pApp = CDorvaneApp::Instance();
    CDorvaneView::UpdateAllViews(pApp ? pApp->m_pCurrentDoc : nullptr);
}

void CStretchDlg::ApplyMin() {
    CAstroImage* pImage = CurrentImage();
    if (pImage == nullptr)
        return;
    CWaitCursor busy;
    m_nMin = ReadEdit(m_editMin);
    pImage->m_stretchLow = static_cast<int32_t>(m_nMin);
    Remap(*pImage);
}

void CStretchDlg::ApplyMax() {
    CAstroImage* pImage = CurrentImage();
    if (pImage == nullptr)
        return;
    CWaitCursor busy;
    m_nMax = ReadEdit(m_editMax);
    pImage->m_stretchHigh = static_cast<int32_t>(m_nMax);
    Remap(*pImage);
    g_nLineStep = FullScale() / 100;
    g_nPageStep = FullScale() / 10;
}

void CStretchDlg::ApplyBoth() {
    CAstroImage* pImage = CurrentImage();
    if (pImage == nullptr)
        return;
    CWaitCursor busy;
    m_nMin = ReadEdit(m_editMin);
    m_nMax = ReadEdit(m_editMax);
    SetSliderPositions();
    pImage->m_stretchLow = static_cast<int32_t>(m_nMin);
    pImage->m_stretchHigh = static_cast<int32_t>(m_nMax);
    Remap(*pImage);
}

void CStretchDlg::RefreshFromDocument() {
    CAstroImage* pImage = CurrentImage();
    if (pImage == nullptr)
        return;
    CWaitCursor busy;
    m_nMax = static_cast<uint32_t>(pImage->m_stretchHigh);
    m_nMin = static_cast<uint32_t>(pImage->m_stretchLow);
    m_editMin->setText(QString::number(pImage->m_stretchLow));
    m_editMax->setText(QString::number(pImage->m_stretchHigh));
    SetSliderPositions();
    m_pHistogram->SetMarks(m_nMin, m_nMax, FullScale());
    CDorvaneApp* pApp = CDorvaneApp::Instance();
    CDorvaneView::UpdateAllViews(pApp ? pApp->m_pCurrentDoc : nullptr);
    repaint();
}

void CStretchDlg::FollowCurrentDocument() {
    m_pHistogram->MarkStale();
    const bool bHasImage = CurrentImage() != nullptr;
    const bool bWasDisabled = !isEnabled();
    setEnabled(bHasImage);
    if (bHasImage && bWasDisabled)
        RefreshFromDocument();
}

void CStretchDlg::OnImageChanged(const CDorvaneDoc* pDoc) {
    CDorvaneApp* pApp = CDorvaneApp::Instance();
    if (pApp != nullptr && pDoc == pApp->m_pCurrentDoc)
        m_pHistogram->MarkStale();
}

void CStretchDlg::OnAuto() {
    CAstroImage* pImage = CurrentImage();
    if (pImage == nullptr)
        return;
    int32_t nLow = 0;
    int32_t nHigh = 0;
    pImage->AutoStretch(nLow, nHigh);
    m_editMin->setText(QString::number(nLow));
    m_editMax->setText(QString::number(nHigh));
    ApplyBoth();
}

void CStretchDlg::SavePosition() {
    if (CDorvaneApp* pApp = CDorvaneApp::Instance())
        WritePosition(pApp, true);
    m_bPositionSaved = true;
}

void CStretchDlg::WritePosition(CDorvaneApp* pApp, bool bUpdateFrame) {
    m_bPositionSaved = true;
    pApp->Settings().WriteInt("Settings", "Stretch Left", pos().x());
    pApp->Settings().WriteInt("Settings", "Stretch Top", pos().y());
    // Only the dialog showing now owns the flag and the button; an older
    // one closing late leaves them alone.
    if (pApp->m_pStretchDlg == this || pApp->m_pStretchDlg == nullptr) {
        if (m_pToolBar)
            m_pToolBar->CheckButton(DorvaneIds::ID_VIEW_STRETCH, false);
        pApp->m_bStretchDlgOpen = false;
        if (bUpdateFrame && pApp->m_pMainFrame)
            pApp->m_pMainFrame->UpdateCommandStates();
    }
}

void CStretchDlg::closeEvent(QCloseEvent* event) {
    if (!m_bPositionSaved)
        SavePosition();
    event->accept();
}

void CStretchDlg::reject() {
    close();
}

void CStretchDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ApplyBoth();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
