#include "view/CDorvaneView.h"

#include <QIcon>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#include "app/CDorvaneApp.h"
#include "app/CImageDocument.h"
#include "app/CDorvaneToolBar.h"
#include "app/CMainFrame.h"
#include "app/CStatusIndicators.h"
#include "app/CWaitCursor.h"
#include "app/Resource.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/IMessageSink.h"
#include "view/CReplacedOverlay.h"
#include "view/CStretchDlg.h"
#include "view/CViewPicture.h"
#include "view/CViewReadout.h"
#include "view/CViewZoom.h"

namespace {

// Every open image view, so that the program-wide filter region and a
// document's updates reach all of them.
std::vector<CDorvaneView*>& AllViews() {
    static std::vector<CDorvaneView*> views;
    return views;
}

CDorvaneApp* App() { return CDorvaneApp::Instance(); }

}  // namespace

CDorvaneView::CDorvaneView(CDorvaneDoc* pDoc, QWidget* parent)
    : QAbstractScrollArea(parent), m_pDoc(pDoc), m_pPicture(std::make_unique<CViewPicture>()) {
    viewport()->setMouseTracking(true);
    // Every pixel of the viewport is painted, picture or background.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    AllViews().push_back(this);
}

CDorvaneView::~CDorvaneView() {
    auto& views = AllViews();
    views.erase(std::remove(views.begin(), views.end(), this), views.end());
    // The document goes with this view: nothing may act on it any more.
    if (CDorvaneApp* pApp = App()) {
        if (pApp->m_pCurrentDoc == m_pDoc)
            pApp->m_pCurrentDoc = nullptr;
        if (pApp->m_pStretchDlg)
            pApp->m_pStretchDlg->FollowCurrentDocument();
    }
}

QMdiSubWindow* CDorvaneView::ParentFrame() const {
    for (QWidget* p = parentWidget(); p != nullptr; p = p->parentWidget())
        if (auto* pFrame = qobject_cast<QMdiSubWindow*>(p))
            return pFrame;
    return nullptr;
}

void CDorvaneView::OnInitialUpdate() {
    // SBIG documents get their own small icon; FITS ones keep the window's.
    QMdiSubWindow* pFrame = ParentFrame();
    if (pFrame != nullptr && m_pDoc != nullptr && m_pDoc->m_isFits == 0)
        pFrame->setWindowIcon(QIcon(QStringLiteral(DORVANE_ICON_SBIG)));
    SetZoom(100);
    // A new window starts at the picture's top-left corner, whatever the
    // centre of its first size was.
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    OnUpdate();
}

void CDorvaneView::OnActivateView(bool bActivate) {
    CDorvaneApp* pApp = App();
    if (!bActivate || pApp == nullptr || m_pDoc == nullptr)
        return;
    pApp->m_pCurrentDoc = m_pDoc;
    if (pApp->m_pStretchDlg)
        pApp->m_pStretchDlg->FollowCurrentDocument();
}

QSize CDorvaneView::ZoomedSize() const {
    if (m_pDoc == nullptr)
        return QSize();
    const CImageSize size = m_pDoc->GetImageSize();
    return CViewPicture::ZoomedSize(QSize(size.cx, size.cy), m_nZoom);
}

QPoint CDorvaneView::ScrollOffset() const {
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void CDorvaneView::UpdateScrollBars() {
    const QSize total = ZoomedSize();
    QSize page = viewport()->size();
    // When the picture fits the view without scroll bars, none are shown
    // (otherwise bars once shown would keep themselves needed).
    const QSize room = maximumViewportSize();
    if (total.width() <= room.width() && total.height() <= room.height())
        page = room;
    QScrollBar* pH = horizontalScrollBar();
    QScrollBar* pV = verticalScrollBar();
    pH->setRange(0, std::max(0, total.width() - page.width()));
    pV->setRange(0, std::max(0, total.height() - page.height()));
    pH->setPageStep(std::max(1, page.width()));
    pV->setPageStep(std::max(1, page.height()));
    pH->setSingleStep(std::max(1, total.width() / 100));
    pV->setSingleStep(std::max(1, total.height() / 100));
}

void CDorvaneView::OnUpdate() {
    UpdateScrollBars();
    FocusSizedRepaint();
}

void CDorvaneView::FocusSizedRepaint() {
    viewport()->update();
}

void CDorvaneView::SetZoom(int32_t nPercent) {
    ZoomAround(nPercent, std::nullopt);
}

void CDorvaneView::ZoomStep(int nSteps, std::optional<QPoint> ptGlobal) {
    const int32_t nNew = CViewZoom::Step(m_nZoom, nSteps);
    if (nNew != m_nZoom)
        ZoomAround(nNew, ptGlobal);
}

void CDorvaneView::OnZoomFit() {
    QMdiSubWindow* pFrame = ParentFrame();
    QMdiArea* pArea = pFrame ? pFrame->mdiArea() : nullptr;
    if (pArea == nullptr || m_pDoc == nullptr)
        return;
    // The borders as the zoom will leave them, those of a normal window.
    if (pFrame->isMaximized() || pFrame->isMinimized())
        pFrame->showNormal();
    const CImageSize size = m_pDoc->GetImageSize();
    const QSize borders = pFrame->size() - maximumViewportSize();
    SetZoom(CViewZoom::FitLevel(QSize(size.cx, size.cy), pArea->viewport()->size(), borders));
}

void CDorvaneView::ZoomAround(int32_t nPercent, std::optional<QPoint> ptGlobal) {
    // The anchor is found again after the window has moved and resized.
    const auto anchor = [&] {
        return ptGlobal ? viewport()->mapFromGlobal(*ptGlobal) : viewport()->rect().center();
    };
    const QPoint ptLogical = ToLogical(anchor());
    const int32_t nOld = m_nZoom;
    m_nZoom = nPercent;
    QMdiSubWindow* pFrame = ParentFrame();
    QMdiArea* pArea = pFrame ? pFrame->mdiArea() : nullptr;
    if (pArea != nullptr && m_pDoc != nullptr) {
        const CImageSize size = m_pDoc->GetImageSize();
        // Limited by the area the image windows live in, whatever the
        // menu bar, toolbar and status bar around it take, so that the
        // whole window stays in sight.
        const QSize frame = FrameSize(nPercent, QSize(size.cx, size.cy), pArea->viewport()->size());
        if (pFrame->isMaximized() || pFrame->isMinimized())
            pFrame->showNormal();
        pFrame->setGeometry(0, 0, frame.width(), frame.height());
    }
    viewport()->update();
    OnUpdate();
    const QPoint ptScroll = CViewZoom::AnchoredScroll(ptLogical, nOld, nPercent, anchor());
    horizontalScrollBar()->setValue(ptScroll.x());
    verticalScrollBar()->setValue(ptScroll.y());
    if (CDorvaneApp* pApp = App(); pApp && pApp->m_pMainFrame)
        pApp->m_pMainFrame->UpdateCommandStates();
}

QSize CDorvaneView::FrameSize(int32_t nPercent, QSize image, QSize area) {
    int32_t w = nPercent * image.width() / 100 + 12;
    if (w > area.width())
        w = area.width();
    int32_t h = nPercent * image.height() / 100 + 31;
    if (h > area.height())
        h = area.height();
    return QSize(w, h);
}

CRegion CDorvaneView::NormalizeCorners(QPoint p1, QPoint p2) {
    CRegion rc;
    rc.left = std::min(p1.x(), p2.x());
    rc.right = std::max(p1.x(), p2.x());
    rc.top = std::min(p1.y(), p2.y());
    rc.bottom = std::max(p1.y(), p2.y());
    return rc;
}

int32_t CDorvaneView::LogicalToImage(int32_t c) const {
    if (m_nZoom == 100 || m_nZoom == 0)
        return c;
    // The factor is single precision; for the seven zooms it is a power of
    // two, so the product is exact.
    const float f = 100.0f / static_cast<float>(m_nZoom);
    return static_cast<int32_t>(static_cast<float>(c) * f);
}

void CDorvaneView::SetUndoState(bool bCanUndo, bool bCanRedo) {
    m_bCanUndo = bCanUndo;
    m_bCanRedo = bCanRedo;
    // The undo planes are no longer those the original was made from. The
    // buffer keeps its memory for the next look, which then costs no fresh
    // pages.
    SetShowOriginal(false);
    m_originalPixels.clear();
    if (CDorvaneApp* pApp = App(); pApp && pApp->m_pStretchDlg)
        pApp->m_pStretchDlg->OnImageChanged(m_pDoc);
    emit undoRedoStateChanged();
    if (CDorvaneApp* pApp = App(); pApp && pApp->m_pMainFrame)
        pApp->m_pMainFrame->UpdateCommandStates();
}

void CDorvaneView::RepaintAllViews() {
    for (CDorvaneView* pView : AllViews())
        pView->viewport()->update();
    if (CDorvaneApp* pApp = App(); pApp && !pApp->m_shared.m_bRegionSet)
        ShowSelectionText(QString());
}

void CDorvaneView::SetShowOriginal(bool bShow) {
    const CAstroImage* pImage = m_pDoc ? m_pDoc->m_pImage : nullptr;
    bShow = bShow && m_bCanUndo && pImage != nullptr && pImage->CanUndo();
    if (bShow == m_bShowOriginal)
        return;
    m_bShowOriginal = bShow;
    viewport()->update();
    emit showOriginalChanged();
    if (CDorvaneApp* pApp = App(); pApp && pApp->m_pMainFrame)
        pApp->m_pMainFrame->UpdateCommandStates();
}

void CDorvaneView::UpdateAllViews(const CDorvaneDoc* pDoc) {
    for (CDorvaneView* pView : AllViews())
        if (pView->m_pDoc == pDoc)
            pView->OnUpdate();
}

// ---- drawing ---------------------------------------------------------------

const std::vector<uint8_t>& CDorvaneView::ShownDisplayBuffer(CAstroImage& image) {
    if (!m_bShowOriginal)
        return image.m_displayPixels;
    // Mapped once for each stretch: switching back and forth to compare
    // costs no remap. The undo planes change only with the undo state,
    // which drops the mapping.
    const std::pair<int32_t, int32_t> stretch(image.m_stretchLow, image.m_stretchHigh);
    if (m_originalPixels.empty() || stretch != m_originalStretch) {
        if (!image.MapUndoPlanes(m_originalPixels))
            m_originalPixels.clear();
        m_originalStretch = stretch;
    }
    return m_originalPixels.empty() ? image.m_displayPixels : m_originalPixels;
}

void CDorvaneView::FollowDisplayBuffer() {
    CAstroImage* pImage = m_pDoc ? m_pDoc->m_pImage : nullptr;
    if (pImage == nullptr) {
        m_pPicture->SetSource(nullptr, 0, 0, 0, 32);
        return;
    }
    // The picture is made from the buffer at paint time, so it always shows
    // the latest remap; the flag only records that the view has seen it.
    CDorvaneApp* pApp = App();
    const int32_t nBpp = pApp ? pApp->m_shared.m_nDisplayBpp : 32;
    const std::vector<uint8_t>& shown = ShownDisplayBuffer(*pImage);
    m_pPicture->SetSource(shown.data(), shown.size(), pImage->m_width, pImage->m_height, nBpp);
    pImage->m_displayChanged = false;
}

void CDorvaneView::paintEvent(QPaintEvent* event) {
    FollowDisplayBuffer();
    QPainter painter(viewport());
    const QPoint ptScroll = ScrollOffset();
    const QRect rcPicture(-ptScroll, ZoomedSize());
    const CReplacedPixelRuns* pReplaced = ShownReplacedPixels();
    for (const QRect& rcExposed : event->region()) {
        FillBackground(painter, rcExposed, rcPicture);
        m_pPicture->Draw(painter, m_nZoom, ptScroll, rcExposed);
        if (pReplaced)
            CReplacedOverlay::Draw(painter, *pReplaced, m_nZoom, ptScroll, rcExposed, ZoomedSize());
    }
    DrawOutline(painter, ptScroll);
}

const CReplacedPixelRuns* CDorvaneView::ShownReplacedPixels() const {
    // Only while the picture shows the run's result: after Undo, or while
    // the original is shown, the tint would mark pixels that hold their old
    // values.
    if (m_bShowOriginal)
        return nullptr;
    CDorvaneApp* pApp = App();
    CImageDocument* pDocument = CImageDocument::FromCore(m_pDoc);
    if (!pApp || !pApp->m_pMainFrame || !pApp->m_pMainFrame->m_bShowReplacedPixels || !pDocument ||
        !pDocument->LastRun().IsShown())
        return nullptr;
    return pDocument->LastRun().Runs();
}

void CDorvaneView::FillBackground(QPainter& painter, const QRect& rcExposed, const QRect& rcPicture) {
    // Around the picture a neutral dark grey: no glare for eyes used to the
    // dark, and a frame that neither tints nor outshines the picture.
    static const QColor kBackground(48, 48, 48);
    const QRegion outside = QRegion(rcExposed).subtracted(QRegion(rcPicture));
    for (const QRect& rc : outside)
        painter.fillRect(rc, kBackground);
}

QRect CDorvaneView::RegionOutline() const {
    // Drawn from the image rectangle at this view's zoom, so that the
    // outline shows what the filter will take at any zoom and in every
    // view, whatever the zoom it was selected at.
    const CRegion& rc = App()->m_shared.m_rcRegionImage;
    const auto zoomed = [this](int32_t c) { return static_cast<int32_t>(int64_t(c) * m_nZoom / 100); };
    return QRect(QPoint(zoomed(rc.left), zoomed(rc.top)), QPoint(zoomed(rc.right), zoomed(rc.bottom)));
}

void CDorvaneView::DrawOutline(QPainter& painter, QPoint ptScroll) {
    CDorvaneApp* pApp = App();
    QPoint a, b;
    if (pApp && pApp->m_shared.m_bRegionSet) {
        const QRect rc = RegionOutline();
        a = rc.topLeft();
        b = rc.bottomRight();
    } else if (m_bDragging) {
        a = m_ptAnchor;
        b = m_ptCurrent;
    } else {
        return;
    }
    a -= ptScroll;
    b -= ptScroll;
    const QPoint path[5] = {a, QPoint(b.x(), a.y()), b, QPoint(a.x(), b.y()), a};
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(255, 0, 0), 1));
    painter.drawPolyline(path, 5);
}

void CDorvaneView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CDorvaneView::scrollContentsBy(int dx, int dy) {
    // Moves what is already painted; only the uncovered strip is drawn.
    viewport()->scroll(dx, dy);
}

// ---- region selection and readout --------------------------------------------

QPoint CDorvaneView::ToLogical(QPoint ptClient) const {
    return ptClient + ScrollOffset();
}

QPoint CDorvaneView::ToLogicalInside(QPoint ptClient) const {
    // While the button is held the view keeps receiving the pointer outside
    // itself; the band stops at the visible edge so no corner is negative.
    const QSize size = viewport()->size();
    const QPoint inside(std::clamp(ptClient.x(), 0, std::max(0, size.width() - 1)),
                        std::clamp(ptClient.y(), 0, std::max(0, size.height() - 1)));
    return ToLogical(inside);
}

void CDorvaneView::InvalidateBand(QPoint p1, QPoint p2, int nGrow) {
    // Only the band's four edges change, so only they are repainted.
    const CRegion rc = NormalizeCorners(p1 - ScrollOffset(), p2 - ScrollOffset());
    const QRect outer = QRect(QPoint(rc.left, rc.top), QPoint(rc.right, rc.bottom))
                            .adjusted(-nGrow, -nGrow, nGrow, nGrow);
    const int nEdge = 2 * nGrow + 1;
    QRegion edges;
    edges += QRect(outer.left(), outer.top(), outer.width(), nEdge);
    edges += QRect(outer.left(), outer.bottom() - nEdge + 1, outer.width(), nEdge);
    edges += QRect(outer.left(), outer.top(), nEdge, outer.height());
    edges += QRect(outer.right() - nEdge + 1, outer.top(), nEdge, outer.height());
    viewport()->update(edges);
}

void CDorvaneView::ShowPixelValue(QPoint ptLogical) {
    CDorvaneApp* pApp = App();
    CMainFrame* pMain = pApp ? pApp->m_pMainFrame : nullptr;
    if (pMain == nullptr)
        return;
    const int32_t nIndex = PixelIndex(ptLogical);
    const CAstroImage* pImage = m_pDoc ? m_pDoc->m_pImage : nullptr;
    if (nIndex < 0 || pImage == nullptr) {
        pMain->ClearPixelIndicator();
        return;
    }
    pMain->SetPixelValue(static_cast<int32_t>(pImage->m_red[static_cast<std::size_t>(nIndex)]));
    if (pMain->Indicators())
        pMain->Indicators()->SetPositionText(CViewReadout::PositionText(*pImage, nIndex));
}

CRegion CDorvaneView::ImageRegion(QPoint p1, QPoint p2) const {
    CRegion rc = NormalizeCorners(p1, p2);
    if (m_nZoom != 100) {
        rc.left = LogicalToImage(rc.left);
        rc.right = LogicalToImage(rc.right);
        rc.top = LogicalToImage(rc.top);
        rc.bottom = LogicalToImage(rc.bottom);
    }
    return rc;
}

void CDorvaneView::ShowRegionText(const CRegion& rcImage) const {
    const CAstroImage* pImage = m_pDoc ? m_pDoc->m_pImage : nullptr;
    if (pImage != nullptr)
        ShowSelectionText(CViewReadout::RegionText(rcImage.ClippedTo(pImage->m_width, pImage->m_height)));
}

void CDorvaneView::ShowSelectionText(const QString& text) {
    CDorvaneApp* pApp = App();
    CMainFrame* pMain = pApp ? pApp->m_pMainFrame : nullptr;
    if (pMain != nullptr && pMain->Indicators() != nullptr)
        pMain->Indicators()->SetSelectionText(text);
}

int32_t CDorvaneView::PixelIndex(QPoint ptLogical) const {
    const CAstroImage* pImage = m_pDoc ? m_pDoc->m_pImage : nullptr;
    if (pImage == nullptr || ptLogical.x() < 0 || ptLogical.y() < 0)
        return -1;
    const int32_t ix = LogicalToImage(ptLogical.x());
    const int32_t iy = LogicalToImage(ptLogical.y());
    if (ix >= pImage->m_width || iy >= pImage->m_height)
        return -1;
    const int64_t nIndex = int64_t(ix) + int64_t(pImage->m_width) * iy;
    if (nIndex >= static_cast<int64_t>(pImage->m_red.size()))
        return -1;
    return static_cast<int32_t>(nIndex);
}

void CDorvaneView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    CDorvaneApp* pApp = App();
    if (pApp && pApp->m_shared.m_bRegionSet) {
        pApp->m_shared.m_bRegionSet = false;
        RepaintAllViews();
    }
    m_ptAnchor = ToLogical(event->position().toPoint());
    m_ptCurrent = m_ptAnchor;
    m_bDragging = true;
    event->accept();
}

void CDorvaneView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint ptClient = event->position().toPoint();
    ShowPixelValue(ToLogical(ptClient));
    if (m_bDragging) {
        if (event->buttons() & Qt::LeftButton) {
            InvalidateBand(m_ptAnchor, m_ptCurrent, 2);
            m_ptCurrent = ToLogicalInside(ptClient);
            InvalidateBand(m_ptAnchor, m_ptCurrent, 2);
            ShowRegionText(ImageRegion(m_ptAnchor, m_ptCurrent));
        } else {
            // The button came up where this view did not see it.
            m_bDragging = false;
            FocusSizedRepaint();
        }
    }
    event->accept();
}

void CDorvaneView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_bDragging) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    m_bDragging = false;
    InvalidateBand(m_ptAnchor, m_ptCurrent, 1);
    m_ptRelease = ToLogicalInside(event->position().toPoint());
    CDorvaneApp* pApp = App();
    if (pApp && std::abs(m_ptAnchor.x() - m_ptRelease.x()) > 3 &&
        std::abs(m_ptAnchor.y() - m_ptRelease.y()) > 3) {
        pApp->m_shared.m_bRegionSet = true;
        pApp->m_rcRegionView = NormalizeCorners(m_ptAnchor, m_ptRelease);
        pApp->m_shared.m_rcRegionImage = ImageRegion(m_ptAnchor, m_ptRelease);
        // Every view draws the one region.
        RepaintAllViews();
        ShowRegionText(pApp->m_shared.m_rcRegionImage);
    } else {
        ShowSelectionText(QString());
    }
    event->accept();
}

void CDorvaneView::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (m_bDragging) {
        m_bDragging = false;
        InvalidateBand(m_ptAnchor, m_ptCurrent, 2);
    }
    if (CDorvaneApp* pApp = App())
        pApp->m_shared.m_bRegionSet = false;
    RepaintAllViews();
    event->accept();
}

void CDorvaneView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        m_nWheelRemainder = 0;
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    // One notch (120 eighths of a degree) is one level; forward enlarges.
    m_nWheelRemainder += event->angleDelta().y();
    const int nSteps = m_nWheelRemainder / 120;
    m_nWheelRemainder -= nSteps * 120;
    if (nSteps != 0)
        ZoomStep(nSteps, event->globalPosition().toPoint());
    event->accept();
}

// ---- stretch dialog, undo and redo -------------------------------------------

void CDorvaneView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    CDorvaneApp* pApp = App();
    if (pApp == nullptr || !pApp->m_bStretchDlgOpen || pApp->m_pStretchDlg == nullptr)
        return;
    const CAstroImage* pImage = m_pDoc ? m_pDoc->m_pImage : nullptr;
    CStretchDlg* pDlg = pApp->m_pStretchDlg;
    if (pImage == nullptr)
        return;
    if (static_cast<uint32_t>(pImage->m_stretchLow) != pDlg->m_nMin ||
        static_cast<uint32_t>(pImage->m_stretchHigh) != pDlg->m_nMax) {
        pApp->m_pCurrentDoc = m_pDoc;
        pDlg->FollowCurrentDocument();
        pDlg->RefreshFromDocument();
        FocusSizedRepaint();
    }
}

void CDorvaneView::OnStretch() {
    CDorvaneApp* pApp = App();
    if (pApp == nullptr)
        return;
    if (pApp->m_bStretchDlgOpen && pApp->m_pStretchDlg != nullptr) {
        // Its close path saves the position, releases the button and
        // clears the flag.
        pApp->m_pStretchDlg->close();
        return;
    }
    const CAstroImage* pImage = m_pDoc ? m_pDoc->m_pImage : nullptr;
    if (pImage == nullptr)
        return;
    pApp->m_pCurrentDoc = m_pDoc;
    auto* pDlg = new CStretchDlg(pApp->m_pMainFrame);
    pApp->m_pStretchDlg = pDlg;
    pDlg->m_nMin = static_cast<uint32_t>(pImage->m_stretchLow);
    pDlg->m_nMax = static_cast<uint32_t>(pImage->m_stretchHigh);
    pApp->m_bStretchDlgOpen = true;
    if (pApp->m_pToolBar)
        pApp->m_pToolBar->CheckButton(DorvaneIds::ID_VIEW_STRETCH, true);
    if (pApp->m_pMainFrame)
        pApp->m_pMainFrame->UpdateCommandStates();
    pDlg->OnInitDialog();
    pDlg->show();
}

void CDorvaneView::OnEditUndo() {
    CAstroImage* pImage = m_pDoc ? m_pDoc->m_pImage : nullptr;
    if (!m_bCanUndo || pImage == nullptr)
        return;
    // Without the memory for its copy, Undo leaves the image as it was.
    CWaitCursor busy;
    try {
        pImage->Undo();
    } catch (const std::bad_alloc&) {
        CDorvaneApp::Instance()->Messages().ShowError("Not enough memory.");
        return;
    }
    if (CImageDocument* pDocument = CImageDocument::FromCore(m_pDoc))
        pDocument->LastRun().SetUndone(true);
    pImage->UpdateDisplay();
    SetUndoState(false, true);
    viewport()->repaint();
}

void CDorvaneView::OnEditRedo() {
    CAstroImage* pImage = m_pDoc ? m_pDoc->m_pImage : nullptr;
    if (!m_bCanRedo || pImage == nullptr)
        return;
    CWaitCursor busy;
    try {
        pImage->Redo();
    } catch (const std::bad_alloc&) {
        CDorvaneApp::Instance()->Messages().ShowError("Not enough memory.");
        return;
    }
    if (CImageDocument* pDocument = CImageDocument::FromCore(m_pDoc))
        pDocument->LastRun().SetUndone(false);
    pImage->UpdateDisplay();
    SetUndoState(true, false);
    viewport()->repaint();
}
