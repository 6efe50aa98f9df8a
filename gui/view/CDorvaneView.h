#pragma once
#include <QAbstractScrollArea>
#include <QPoint>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "support/CRegion.h"

class CAstroImage;
class CDorvaneDoc;
class CReplacedPixelRuns;
class CViewPicture;
class QMdiSubWindow;
class QPainter;

// The client of each image window: draws the document's image at one of
// seven zoom percentages, scrolls over it, lets the user drag the
// program-wide filter region, reports the raw value under the pointer to the
// main frame, and carries the image commands (zoom, stretch, undo, redo).
//
// Coordinates called "logical" are pixels of the zoomed picture: a viewport
// position plus the scroll offset.
class CDorvaneView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // pDoc is owned by the image window and outlives the view.
    explicit CDorvaneView(CDorvaneDoc* pDoc, QWidget* parent = nullptr);
    ~CDorvaneView() override;

    CDorvaneDoc* GetDocument() const { return m_pDoc; }

    // First set-up once the document is loaded and the view sits in its
    // image window: SBIG documents get their small icon, zoom 100.
    void OnInitialUpdate();
    // Recomputes the scroll extents from the zoomed image size and repaints.
    void OnUpdate();
    // Called when the image window becomes active; records the current
    // document for the stretch dialog.
    void OnActivateView(bool bActivate);
    // Stores the zoom, sizes the image window to the zoomed picture (limited
    // by the MDI area) at the top-left of the MDI area, and updates. The
    // image point at the viewport's centre stays at its centre.
    void SetZoom(int32_t nPercent);
    // The next larger (nSteps > 0) or smaller zoom level, around the
    // viewport's centre or, when given, around the image point under the
    // global position ptGlobal. Nothing at the end of the levels.
    void ZoomStep(int nSteps, std::optional<QPoint> ptGlobal = std::nullopt);
    // View > Zoom > Fit to Window.
    void OnZoomFit();

    // View > Show Original: draws the image as it was before the last
    // filter run, from the undo planes, while there is something to undo.
    // The document and its undo state stay as they are.
    void SetShowOriginal(bool bShow);
    bool IsShowingOriginal() const { return m_bShowOriginal; }

    // Enable states of Undo and Redo, for the menu and the toolbar.
    bool OnUpdateEditUndo() const { return m_bCanUndo; }
    bool OnUpdateEditRedo() const { return m_bCanRedo; }
    // Used by the filter command after a run (undo on, redo off). Whatever
    // changed the planes also ends Show Original.
    void SetUndoState(bool bCanUndo, bool bCanRedo);

    // The smaller and larger of each coordinate pair.
    static CRegion NormalizeCorners(QPoint p1, QPoint p2);
    // Logical coordinate to image pixels at the current zoom.
    int32_t LogicalToImage(int32_t c) const;
    // The scroll offset (logical position of the viewport's top-left).
    QPoint ScrollOffset() const;

    // The image window's size for a zoom: the zoomed picture plus the
    // window's borders, limited by the size of the MDI area's viewport.
    static QSize FrameSize(int32_t nPercent, QSize image, QSize area);
    // Index into the first plane of the image pixel under a logical point,
    // or -1 when the point lies outside the picture.
    int32_t PixelIndex(QPoint ptLogical) const;

    // Repaints every open image view; used when the program-wide filter
    // region changes (selection, clearing after a filter run). Without a
    // region the status bar shows no selection.
    static void RepaintAllViews();
    // Updates the views of pDoc (after its display was remapped).
    static void UpdateAllViews(const CDorvaneDoc* pDoc);

    int32_t m_nZoom = 100;
    bool m_bCanRedo = false;
    bool m_bCanUndo = false;
    bool m_bDragging = false;
    QPoint m_ptAnchor;
    QPoint m_ptRelease;
    QPoint m_ptCurrent;

public slots:
    void OnZoom25() { SetZoom(25); }
    void OnZoom50() { SetZoom(50); }
    void OnZoom100() { SetZoom(100); }
    void OnZoom200() { SetZoom(200); }
    void OnZoom400() { SetZoom(400); }
    void OnZoom800() { SetZoom(800); }
    void OnZoom1600() { SetZoom(1600); }
    void OnEditUndo();
    void OnEditRedo();
    // Opens the stretch dialog, or closes it when it is showing.
    void OnStretch();

signals:
    // m_bCanUndo or m_bCanRedo changed: the shell refreshes its actions.
    void undoRedoStateChanged();
    void showOriginalChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    // Ctrl with the wheel zooms around the pointer.
    void wheelEvent(QWheelEvent* event) override;
    // Escape clears the filter region, as a plain click does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QSize ZoomedSize() const;
    void UpdateScrollBars();
    void FocusSizedRepaint();
    void ShowPixelValue(QPoint ptLogical);
    void ZoomAround(int32_t nPercent, std::optional<QPoint> ptGlobal);
    void FollowDisplayBuffer();
    const std::vector<uint8_t>& ShownDisplayBuffer(CAstroImage& image);
    CRegion ImageRegion(QPoint p1, QPoint p2) const;
    void ShowRegionText(const CRegion& rcImage) const;
    static void ShowSelectionText(const QString& text);
    static void FillBackground(QPainter& painter, const QRect& rcExposed, const QRect& rcPicture);
    QRect RegionOutline() const;
    void DrawOutline(QPainter& painter, QPoint ptScroll);
    // The pixels to tint: the last run's, while View > Show Replaced Pixels
    // is on and the picture shows that run's result; otherwise null.
    const CReplacedPixelRuns* ShownReplacedPixels() const;
    QPoint ToLogical(QPoint ptClient) const;
    QPoint ToLogicalInside(QPoint ptClient) const;
    void InvalidateBand(QPoint p1, QPoint p2, int nGrow);
    QMdiSubWindow* ParentFrame() const;

    CDorvaneDoc* m_pDoc;
    std::unique_ptr<CViewPicture> m_pPicture;
    // Show Original: the undo planes' display pixels (empty until mapped),
    // kept for the next look until the undo state changes; its memory stays
    // with the view once used.
    std::vector<uint8_t> m_originalPixels;
    std::pair<int32_t, int32_t> m_originalStretch;  // the stretch they were mapped at
    bool m_bShowOriginal = false;
    int m_nWheelRemainder = 0;  // eighths of a degree short of a notch
};
