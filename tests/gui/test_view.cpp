// The image view: window sizing for each zoom, region selection and its
// conversion to image pixels, the pixel readout, the red outline at any
// zoom, the picture built from each display format, and Undo/Redo enabling.
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "CViewTestSupport.h"
#include "app/CMainFrame.h"
#include "view/CDorvaneView.h"
#include "view/CViewPicture.h"
#include "view/CViewZoom.h"
#include "app/CStatusIndicators.h"

namespace {

// A main frame with one image window showing pDoc.
struct ViewWindow {
    CMainFrame frame;
    CDorvaneView* pView = nullptr;
    QMdiSubWindow* pSub = nullptr;

    ViewWindow(CDorvaneDoc* pDoc, QSize mainSize) {
        CDorvaneApp::Instance()->m_pMainFrame = &frame;
        frame.OnCreate();  // the status bar with its panes
        frame.resize(mainSize);
        pView = new CDorvaneView(pDoc);
        pSub = frame.MdiArea()->addSubWindow(pView);
        frame.show();
        pSub->show();
        pView->OnInitialUpdate();
        QCoreApplication::processEvents();
    }
    // A zoom change keeps the viewport's centre; these cases start from the
    // picture's corner.
    void ZoomAtCorner(int zoom) {
        pView->SetZoom(zoom);
        pView->horizontalScrollBar()->setValue(0);
        pView->verticalScrollBar()->setValue(0);
    }
    ~ViewWindow() {
        CDorvaneApp::Instance()->m_pMainFrame = nullptr;
        CDorvaneApp::Instance()->m_pCurrentDoc = nullptr;
    }
};

uint32_t Gray(int i) { return static_cast<uint32_t>(i % 200 + 20); }

CRegion Rect(int l, int t, int r, int b) { return CRegion{l, t, r, b}; }

bool IsRed(QRgb pixel) { return pixel == qRgb(255, 0, 0); }

// What picture draws into a 60 x 50 black canvas when the given parts of it
// are exposed.
QImage Paint(CViewPicture& picture, int zoom, QPoint scroll, const std::vector<QRect>& parts) {
    QImage out(60, 50, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter painter(&out);
    for (const QRect& part : parts)
        picture.Draw(painter, zoom, scroll, part);
    return out;
}

}  // namespace

class TestView : public QObject {
    Q_OBJECT

private slots:
    void init();
    void frameSizeForEachZoom_data();
    void frameSizeForEachZoom();
    void zoomMovesWindowToCornerAndSetsScrollExtents();
    void regionAtZoom100NormalisedAndThreePixelRule();
    void regionConvertedAtZoom200And25();
    void regionEmptyInImagePixelsAt1600();
    void anchorIncludesScrollOffset();
    void readoutAtZoom200AndOutsidePicture();
    void outlineDrawnByEveryView();
    void outlineFollowsTheZoom_data();
    void outlineFollowsTheZoom();
    void picture24BitsOddWidth();
    void picture16And32Bits();
    void zoomedPicturesAndStripsMatchFullPaint();
    void undoRedoEnabling();
    void zoomLevelsAndFit();
    void zoomKeepsTheAnchoredPointInPlace();
    void readoutTexts_data();
    void readoutTexts();
    void selectionTextAndEscape();
};

void TestView::init() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    app.m_shared.m_bRegionSet = false;
    app.m_shared.m_nDisplayBpp = 32;
}

void TestView::frameSizeForEachZoom_data() {
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QSize>("frame");
    QTest::newRow("100x80 at 25") << 25 << QSize(100, 80) << QSize(1014, 650) << QSize(37, 51);
    QTest::newRow("2000x1500 at 100") << 100 << QSize(2000, 1500) << QSize(1014, 650) << QSize(1014, 650);
    QTest::newRow("512 at 1600") << 1600 << QSize(512, 512) << QSize(1014, 650) << QSize(1014, 650);
    QTest::newRow("1001 wide at 25") << 25 << QSize(1001, 10) << QSize(1014, 650) << QSize(262, 33);
    // Exactly the area's size is kept; one more is limited.
    QTest::newRow("at limit") << 100 << QSize(1002, 619) << QSize(1014, 650) << QSize(1014, 650);
    QTest::newRow("past limit") << 100 << QSize(1003, 620) << QSize(1014, 650) << QSize(1014, 650);
}

void TestView::frameSizeForEachZoom() {
    QFETCH(int, zoom);
    QFETCH(QSize, image);
    QFETCH(QSize, area);
    QFETCH(QSize, frame);
    QCOMPARE(CDorvaneView::FrameSize(zoom, image, area), frame);
}

void TestView::zoomMovesWindowToCornerAndSetsScrollExtents() {
    auto pDoc = MakeTestDoc(2000, 1500, 65535, 0, 65535, Gray);
    ViewWindow window(pDoc.get(), QSize(1024, 700));
    QCOMPARE(window.pView->m_nZoom, 100);
    QCOMPARE(window.pSub->geometry(), QRect(QPoint(0, 0), window.frame.MdiArea()->viewport()->size()));
    const QSize viewport = window.pView->viewport()->size();
    QCOMPARE(window.pView->horizontalScrollBar()->maximum(), 2000 - viewport.width());
    QCOMPARE(window.pView->verticalScrollBar()->maximum(), 1500 - viewport.height());

    // The same zoom again still moves the window back to the corner.
    window.pSub->move(40, 30);
    window.pView->OnZoom100();
    QCOMPARE(window.pSub->pos(), QPoint(0, 0));

    window.pView->OnZoom25();
    QCOMPARE(window.pView->m_nZoom, 25);
    QCOMPARE(window.pSub->geometry(), QRect(0, 0, 512, 406));
    window.pView->OnZoom1600();
    const QSize viewport1600 = window.pView->viewport()->size();
    QCOMPARE(window.pView->horizontalScrollBar()->maximum(), 32000 - viewport1600.width());
    QCOMPARE(window.pView->verticalScrollBar()->maximum(), 24000 - viewport1600.height());
}

void TestView::regionAtZoom100NormalisedAndThreePixelRule() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    auto pDoc = MakeTestDoc(400, 300, 65535, 0, 65535, Gray);
    ViewWindow window(pDoc.get(), QSize(1024, 700));
    QWidget* pPort = window.pView->viewport();

    Drag(pPort, QPoint(10, 20), QPoint(110, 70));
    QVERIFY(app.m_shared.m_bRegionSet);
    QCOMPARE(app.m_shared.m_rcRegionImage, Rect(10, 20, 110, 70));
    QCOMPARE(app.m_rcRegionView, Rect(10, 20, 110, 70));

    Drag(pPort, QPoint(110, 70), QPoint(10, 20));
    QVERIFY(app.m_shared.m_bRegionSet);
    QCOMPARE(app.m_shared.m_rcRegionImage, Rect(10, 20, 110, 70));

    // 3 units in one direction is too small, and the click cleared the old one.
    Drag(pPort, QPoint(50, 50), QPoint(53, 90));
    QVERIFY(!app.m_shared.m_bRegionSet);
    Drag(pPort, QPoint(50, 50), QPoint(90, 47));
    QVERIFY(!app.m_shared.m_bRegionSet);
    QVERIFY(!window.pView->m_bDragging);

    Drag(pPort, QPoint(50, 50), QPoint(54, 54));
    QVERIFY(app.m_shared.m_bRegionSet);
    QCOMPARE(app.m_rcRegionView, Rect(50, 50, 54, 54));

    // A plain click clears it again.
    Drag(pPort, QPoint(60, 60), QPoint(60, 60));
    QVERIFY(!app.m_shared.m_bRegionSet);

    // Released outside the view: the band stops at the visible edge, so no
    // corner is negative.
    Drag(pPort, QPoint(30, 30), QPoint(-40, -25));
    QVERIFY(app.m_shared.m_bRegionSet);
    QCOMPARE(app.m_rcRegionView, Rect(0, 0, 30, 30));
}

void TestView::regionConvertedAtZoom200And25() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    auto pDoc = MakeTestDoc(800, 600, 65535, 0, 65535, Gray);
    ViewWindow window(pDoc.get(), QSize(1024, 700));
    QWidget* pPort = window.pView->viewport();

    window.ZoomAtCorner(200);
    Drag(pPort, QPoint(31, 41), QPoint(101, 81));
    QCOMPARE(app.m_rcRegionView, Rect(31, 41, 101, 81));
    QCOMPARE(app.m_shared.m_rcRegionImage, Rect(15, 20, 50, 40));

    window.ZoomAtCorner(25);
    // The outline keeps the rectangle of the zoom it was drawn at.
    QCOMPARE(app.m_rcRegionView, Rect(31, 41, 101, 81));
    Drag(pPort, QPoint(31, 41), QPoint(101, 81));
    QCOMPARE(app.m_rcRegionView, Rect(31, 41, 101, 81));
    QCOMPARE(app.m_shared.m_rcRegionImage, Rect(124, 164, 404, 324));
}

void TestView::regionEmptyInImagePixelsAt1600() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    auto pDoc = MakeTestDoc(40, 30, 65535, 0, 65535, Gray);
    ViewWindow window(pDoc.get(), QSize(1024, 700));
    window.pView->SetZoom(1600);
    Drag(window.pView->viewport(), QPoint(16, 16), QPoint(21, 21));
    QVERIFY(app.m_shared.m_bRegionSet);
    QCOMPARE(app.m_shared.m_rcRegionImage, Rect(1, 1, 1, 1));
}

void TestView::anchorIncludesScrollOffset() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    auto pDoc = MakeTestDoc(2000, 1500, 65535, 0, 65535, Gray);
    ViewWindow window(pDoc.get(), QSize(800, 600));
    window.pView->horizontalScrollBar()->setValue(100);
    window.pView->verticalScrollBar()->setValue(50);
    QCOMPARE(window.pView->ScrollOffset(), QPoint(100, 50));
    QWidget* pPort = window.pView->viewport();
    SendMouse(pPort, QEvent::MouseButtonPress, QPoint(0, 0), Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(window.pView->m_ptAnchor, QPoint(100, 50));
    SendMouse(pPort, QEvent::MouseMove, QPoint(20, 30), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.pView->m_ptCurrent, QPoint(120, 80));
    SendMouse(pPort, QEvent::MouseButtonRelease, QPoint(20, 30), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(app.m_rcRegionView, Rect(100, 50, 120, 80));
    QCOMPARE(app.m_shared.m_rcRegionImage, Rect(100, 50, 120, 80));

    // A move without the button ends a drag whose release went elsewhere,
    // and sets no region.
    SendMouse(pPort, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    SendMouse(pPort, QEvent::MouseMove, QPoint(60, 60), Qt::NoButton, Qt::NoButton);
    QVERIFY(!window.pView->m_bDragging);
    QVERIFY(!app.m_shared.m_bRegionSet);
}

void TestView::readoutAtZoom200AndOutsidePicture() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    auto pDoc = MakeTestDoc(640, 20, 65535, 0, 65535, [](int i) { return uint32_t(i); });
    ViewWindow window(pDoc.get(), QSize(1024, 700));
    window.ZoomAtCorner(200);
    QWidget* pPort = window.pView->viewport();
    for (QPoint pt : {QPoint(10, 14), QPoint(11, 15)}) {
        app.m_pMainFrame->m_nPixelValue = -1;
        SendMouse(pPort, QEvent::MouseMove, pt, Qt::NoButton, Qt::NoButton);
        QCOMPARE(app.m_pMainFrame->m_nPixelValue, 5 + 640 * 7);
    }
    // The picture is 40 logical units high: below it there is no pixel.
    QCOMPARE(window.pView->PixelIndex(QPoint(10, 39)), 5 + 640 * 19);
    QCOMPARE(window.pView->PixelIndex(QPoint(10, 40)), -1);
    QCOMPARE(window.pView->PixelIndex(QPoint(1280, 0)), -1);
    QCOMPARE(window.pView->PixelIndex(QPoint(-1, 0)), -1);
    app.m_pMainFrame->m_nPixelValue = -1;
    SendMouse(pPort, QEvent::MouseMove, QPoint(10, 60), Qt::NoButton, Qt::NoButton);
    QCOMPARE(app.m_pMainFrame->m_nPixelValue, -1);
}

void TestView::outlineDrawnByEveryView() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    auto pDoc = MakeTestDoc(300, 200, 65535, 0, 65535, [](int) { return 30000u; });
    auto pOther = MakeTestDoc(300, 200, 65535, 0, 65535, [](int) { return 30000u; });
    ViewWindow window(pDoc.get(), QSize(1024, 700));
    CDorvaneView other(pOther.get());
    other.resize(320, 220);
    other.show();
    other.OnUpdate();

    Drag(window.pView->viewport(), QPoint(10, 20), QPoint(110, 70));
    for (CDorvaneView* pView : {window.pView, &other}) {
        const QImage shot = pView->viewport()->grab().toImage();
        for (QPoint corner : {QPoint(10, 20), QPoint(110, 20), QPoint(110, 70), QPoint(10, 70), QPoint(60, 20),
                              QPoint(10, 45)})
            QVERIFY2(IsRed(shot.pixel(corner)), qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
        QVERIFY(!IsRed(shot.pixel(60, 45)));
        QVERIFY(!IsRed(shot.pixel(111, 71)));
    }

    // A click clears it everywhere; during the next drag the band is drawn
    // from the anchor to the pointer, whatever their order.
    QWidget* pPort = window.pView->viewport();
    SendMouse(pPort, QEvent::MouseButtonPress, QPoint(120, 90), Qt::LeftButton, Qt::LeftButton);
    SendMouse(pPort, QEvent::MouseMove, QPoint(80, 60), Qt::NoButton, Qt::LeftButton);
    QVERIFY(!app.m_shared.m_bRegionSet);
    QVERIFY(!IsRed(other.viewport()->grab().toImage().pixel(10, 20)));
    const QImage band = pPort->grab().toImage();
    QVERIFY(!IsRed(band.pixel(10, 20)));
    QVERIFY(IsRed(band.pixel(80, 60)) && IsRed(band.pixel(120, 90)) && IsRed(band.pixel(100, 60)));
    SendMouse(pPort, QEvent::MouseButtonRelease, QPoint(80, 60), Qt::LeftButton, Qt::NoButton);
}

void TestView::outlineFollowsTheZoom_data() {
    QTest::addColumn<int>("selectedAt");
    QTest::addColumn<int>("shownAt");
    QTest::addColumn<QPoint>("scroll");
    QTest::newRow("200 then 100") << 200 << 100 << QPoint(0, 0);
    QTest::newRow("100 then 400, scrolled") << 100 << 400 << QPoint(50, 30);
    QTest::newRow("25 then 50") << 25 << 50 << QPoint(0, 0);
}

// After a zoom change and a scroll the outline is where the filter's
// rectangle lies in the picture, not where the drag was.
void TestView::outlineFollowsTheZoom() {
    QFETCH(int, selectedAt);
    QFETCH(int, shownAt);
    QFETCH(QPoint, scroll);
    CDorvaneApp& app = *CDorvaneApp::Instance();
    auto pDoc = MakeTestDoc(600, 400, 65535, 0, 65535, [](int) { return 30000u; });
    ViewWindow window(pDoc.get(), QSize(1024, 700));
    window.ZoomAtCorner(selectedAt);
    Drag(window.pView->viewport(), QPoint(20, 40), QPoint(64, 72));
    QVERIFY(app.m_shared.m_bRegionSet);
    window.pView->SetZoom(shownAt);
    window.pView->horizontalScrollBar()->setValue(scroll.x());
    window.pView->verticalScrollBar()->setValue(scroll.y());
    const CRegion& rc = app.m_shared.m_rcRegionImage;
    const QRect outline = QRect(QPoint(rc.left, rc.top) * shownAt / 100, QPoint(rc.right, rc.bottom) * shownAt / 100)
                              .translated(-scroll);
    const QImage shot = window.pView->viewport()->grab().toImage();
    for (QPoint corner : {outline.topLeft(), outline.topRight(), outline.bottomLeft(), outline.bottomRight()})
        QVERIFY2(IsRed(shot.pixel(corner)), qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
    QVERIFY(!IsRed(shot.pixel(QPoint(64, 72) - scroll)));
}

void TestView::picture24BitsOddWidth() {
    // 3 x 2 pixels, rows of 9 bytes, no padding; the vector holds exactly
    // the buffer so any read past it is a heap overflow.
    const std::vector<uint8_t> buffer = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    CViewPicture picture;
    picture.SetSource(buffer.data(), buffer.size(), 3, 2, 24);
    const QImage shown = Paint(picture, 100, QPoint(0, 0), {QRect(0, 0, 60, 50)});
    QCOMPARE(shown.pixel(0, 0), qRgb(3, 2, 1));
    QCOMPARE(shown.pixel(2, 0), qRgb(9, 8, 7));
    QCOMPARE(shown.pixel(0, 1), qRgb(12, 11, 10));
    QCOMPARE(shown.pixel(2, 1), qRgb(18, 17, 16));
    QCOMPARE(shown.pixel(3, 0), qRgb(0, 0, 0));

    // A buffer one byte short of the size gives no picture at all.
    picture.SetSource(buffer.data(), buffer.size() - 1, 3, 2, 24);
    QVERIFY(picture.IsEmpty());
    QCOMPARE(Paint(picture, 100, QPoint(0, 0), {QRect(0, 0, 60, 50)}).pixel(0, 0), qRgb(0, 0, 0));

    // Through a view: the picture shows the display buffer, and the view
    // records that it has seen the change.
    CDorvaneApp::Instance()->m_shared.m_nDisplayBpp = 24;
    auto pDoc = MakeTestDoc(7, 5, 255, 0, 255, [](int i) { return uint32_t(i * 7); });
    QCOMPARE(pDoc->m_pImage->m_displayPixels.size(), std::size_t(7 * 5 * 3));
    CDorvaneView view(pDoc.get());
    view.resize(40, 40);
    view.show();
    view.OnUpdate();
    const QImage shot = view.viewport()->grab().toImage();
    QVERIFY(!pDoc->m_pImage->m_displayChanged);
    // Around the picture: a neutral dark grey.
    const QRgb around = shot.pixel(20, 20);
    QVERIFY(qRed(around) == qGreen(around) && qGreen(around) == qBlue(around) && qRed(around) < 80);
    const auto& lut = pDoc->m_pImage->m_displayLut;
    for (int i : {0, 6, 7, 17, 34}) {
        const int v = static_cast<int>(lut[static_cast<std::size_t>(i * 7)]);
        QCOMPARE(shot.pixel(i % 7, i / 7), qRgb(v, v, v));
    }
}

void TestView::picture16And32Bits() {
    CViewPicture picture;
    // RGB555, low byte first: red 31, green 16, blue 0; then blue 31.
    const std::vector<uint8_t> words = {0x00, 0x7E, 0x1F, 0x00};
    picture.SetSource(words.data(), words.size(), 1, 2, 16);
    const QImage shown = Paint(picture, 100, QPoint(0, 0), {QRect(0, 0, 60, 50)});
    QCOMPARE(qRed(shown.pixel(0, 0)), 255);
    QCOMPARE(qGreen(shown.pixel(0, 0)) >> 3, 16);
    QCOMPARE(qBlue(shown.pixel(0, 0)), 0);
    QCOMPARE(shown.pixel(0, 1), qRgb(0, 0, 255));

    // b, g, r, 0 becomes an opaque pixel; any other depth is read as 32.
    const std::vector<uint8_t> quads = {200, 100, 50, 0, 1, 2, 3, 0};
    for (int32_t depth : {32, 8}) {
        picture.SetSource(quads.data(), quads.size(), 2, 1, depth);
        const QImage quadsShown = Paint(picture, 100, QPoint(0, 0), {QRect(0, 0, 60, 50)});
        QCOMPARE(quadsShown.pixel(0, 0), qRgb(50, 100, 200));
        QCOMPARE(quadsShown.pixel(1, 0), qRgb(3, 2, 1));
    }
    // At 8 bits the display buffer holds one byte a pixel: too short.
    picture.SetSource(quads.data(), 2, 2, 1, 8);
    QVERIFY(picture.IsEmpty());
}

void TestView::zoomedPicturesAndStripsMatchFullPaint() {
    // 19 x 11 pixels of distinct colours (neither side a multiple of 2 or 4)
    // at each depth; each buffer is exactly its size.
    constexpr int kW = 19, kH = 11;
    for (int32_t depth : {32, 24, 16}) {
        std::vector<uint8_t> buffer;
        for (int i = 0; i < kW * kH; ++i) {
            const uint8_t b = uint8_t(i * 4), g = uint8_t(255 - i * 3), r = uint8_t(i * i % 256);
            if (depth == 16) {
                const auto w = uint16_t((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
                buffer.insert(buffer.end(), {uint8_t(w & 0xff), uint8_t(w >> 8)});
            } else {
                buffer.insert(buffer.end(), {b, g, r});
                if (depth == 32)
                    buffer.push_back(0);
            }
        }
        CViewPicture picture;
        picture.SetSource(buffer.data(), buffer.size(), kW, kH, depth);
        const QImage full = Paint(picture, 100, QPoint(0, 0), {QRect(0, 0, 60, 50)});

        // 50 % and 25 %: each pixel is the rounded mean of its 2 x 2 or 4 x 4
        // block, per channel; the last partial column and row are dropped, as
        // the zoomed size is truncated.
        for (int zoom : {50, 25}) {
            const int f = 100 / zoom;
            const QImage reduced = Paint(picture, zoom, QPoint(0, 0), {QRect(0, 0, 60, 50)});
            for (int y = 0; y < kH / f; ++y) {
                for (int x = 0; x < kW / f; ++x) {
                    int sum[3] = {0, 0, 0};
                    for (int d = 0; d < f * f; ++d) {
                        const QRgb p = full.pixel(f * x + d % f, f * y + d / f);
                        sum[0] += qRed(p);
                        sum[1] += qGreen(p);
                        sum[2] += qBlue(p);
                    }
                    const int n = f * f;
                    QCOMPARE(reduced.pixel(x, y), qRgb((sum[0] + n / 2) / n, (sum[1] + n / 2) / n, (sum[2] + n / 2) / n));
                }
            }
            QCOMPARE(reduced.pixel(kW / f, 0), qRgb(0, 0, 0));
            QCOMPARE(reduced.pixel(0, kH / f), qRgb(0, 0, 0));
        }

        // Enlarged: every display pixel is a sharp square of its own colour.
        for (int zoom : {200, 800}) {
            const int s = zoom / 100;
            const QPoint scroll(3, 5);
            const QImage big = Paint(picture, zoom, scroll, {QRect(0, 0, 60, 50)});
            for (int y = 0; y < 50; ++y)
                for (int x = 0; x < 60; ++x)
                    if ((x + scroll.x()) / s < kW && (y + scroll.y()) / s < kH)
                        QCOMPARE(big.pixel(x, y), full.pixel((x + scroll.x()) / s, (y + scroll.y()) / s));
        }

        // Painted whole or in strips, scrolled: the same pixels.
        for (int zoom : {25, 50, 100, 200, 400, 800}) {
            const QPoint scroll = zoom >= 100 ? QPoint(3, 5) : QPoint(1, 1);
            const QImage whole = Paint(picture, zoom, scroll, {QRect(0, 0, 60, 50)});
            const QImage strips =
                Paint(picture, zoom, scroll, {QRect(0, 0, 3, 50), QRect(3, 0, 57, 2), QRect(3, 2, 57, 48)});
            QCOMPARE(strips, whole);
        }
    }
}

void TestView::undoRedoEnabling() {
    auto pDoc = MakeTestDoc(8, 4, 65535, 0, 1000, [](int) { return 100u; });
    CDorvaneView view(pDoc.get());
    QSignalSpy changed(&view, &CDorvaneView::undoRedoStateChanged);
    QVERIFY(!view.OnUpdateEditUndo() && !view.OnUpdateEditRedo());

    // Disabled commands do nothing.
    view.OnEditUndo();
    view.OnEditRedo();
    QCOMPARE(changed.count(), 0);

    // What the filter command does after a run.
    CAstroImage& image = *pDoc->m_pImage;
    image.SaveUndo();
    image.m_red.assign(image.m_red.size(), 900u);
    view.SetUndoState(true, false);
    QVERIFY(view.OnUpdateEditUndo() && !view.OnUpdateEditRedo());

    for (int round = 0; round < 2; ++round) {
        image.m_displayChanged = false;
        view.OnEditUndo();
        QVERIFY(!view.m_bCanUndo && view.m_bCanRedo);
        QCOMPARE(image.m_red[0], 100u);
        QVERIFY(image.m_displayChanged);
        view.OnEditRedo();
        QVERIFY(view.m_bCanUndo && !view.m_bCanRedo);
        QCOMPARE(image.m_red[0], 900u);
    }
    QCOMPARE(changed.count(), 5);
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestView::zoomLevelsAndFit() {
    const struct { int zoom, steps, result; } steps[] = {
        {100, 1, 200}, {1600, 1, 1600}, {25, -1, 25}, {400, -2, 100}, {37, 1, 200}};
    for (const auto& c : steps)
        QCOMPARE(CViewZoom::Step(c.zoom, c.steps), c.result);
    // The window is sized by FrameSize; its viewport is that less the
    // borders, and the picture must fit it whole.
    const struct { QSize image, area, borders; int level; } fits[] = {
        {QSize(2000, 1500), QSize(1014, 650), QSize(8, 28), 25},
        {QSize(100, 80), QSize(1014, 650), QSize(8, 28), 400},
        {QSize(10, 10), QSize(1014, 650), QSize(8, 28), 1600},
        {QSize(8000, 8000), QSize(1014, 650), QSize(8, 28), 25},
        {QSize(1000, 600), QSize(1010, 700), QSize(8, 28), 100},
        // Borders wider than the frame's allowance: no level fits.
        {QSize(1000, 600), QSize(1900, 1000), QSize(14, 28), 25},
        {QSize(1000, 600), QSize(1900, 1000), QSize(12, 28), 100},
    };
    for (const auto& c : fits)
        QCOMPARE(CViewZoom::FitLevel(c.image, c.area, c.borders), c.level);
}

// Every zoom change keeps one image point where it was in the viewport:
// the centre's for the menu and Ctrl+Plus/Minus, the pointer's for the
// wheel. Fit to Window shows the whole picture.
void TestView::zoomKeepsTheAnchoredPointInPlace() {
    auto pDoc = MakeTestDoc(2000, 1500, 65535, 0, 65535, Gray);
    ViewWindow window(pDoc.get(), QSize(1024, 700));
    CDorvaneView& view = *window.pView;
    QWidget* pPort = view.viewport();
    const auto imageAt = [&](QPoint pt) {
        const QPoint logical = pt + view.ScrollOffset();
        return QPoint(logical.x() * 100 / view.m_nZoom, logical.y() * 100 / view.m_nZoom);
    };
    const auto wheel = [&](QPoint pt, int delta) {
        QWheelEvent event(QPointF(pt), pPort->mapToGlobal(QPointF(pt)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pPort, &event);
    };
    const QPoint centre = pPort->rect().center();
    const QPoint pointer(200, 150);
    const struct {
        std::function<void()> change;
        QPoint anchor;
        int zoom;
    } cases[] = {
        {[&] { view.SetZoom(200); }, centre, 200},
        {[&] { view.ZoomStep(1); }, centre, 400},
        {[&] { view.ZoomStep(-1); }, centre, 200},
        {[&] { wheel(pointer, 120); }, pointer, 400},
        {[&] { wheel(pointer, 60); wheel(pointer, 60); }, pointer, 800},
        {[&] { wheel(pointer, -240); }, pointer, 200},
    };
    view.horizontalScrollBar()->setValue(300);
    view.verticalScrollBar()->setValue(200);
    for (const auto& c : cases) {
        const QPoint before = imageAt(c.anchor);
        c.change();
        QCOMPARE(view.m_nZoom, c.zoom);
        QCOMPARE(imageAt(c.anchor), before);
    }
    // At the end of the levels the wheel changes nothing.
    view.SetZoom(1600);
    const QPoint scroll = view.ScrollOffset();
    wheel(pointer, 120);
    QCOMPARE(view.m_nZoom, 1600);
    QCOMPARE(view.ScrollOffset(), scroll);

    view.OnZoomFit();
    QCOMPARE(view.m_nZoom, 25);
    QCoreApplication::processEvents();
    QCOMPARE(view.horizontalScrollBar()->maximum(), 0);
    QCOMPARE(view.verticalScrollBar()->maximum(), 0);
}

void TestView::readoutTexts_data() {
    QTest::addColumn<bool>("colour");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("scroll");
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QString>("position");
    QTest::addColumn<QString>("value");
    QTest::newRow("100") << false << 100 << QPoint(0, 0) << QPoint(10, 20) << "x 10  y 20" << "i : 12810";
    QTest::newRow("200 scrolled") << false << 200 << QPoint(100, 60) << QPoint(11, 15) << "x 55  y 37"
                                  << "i : 23735";
    QTest::newRow("1600 scrolled") << false << 1600 << QPoint(3200, 1600) << QPoint(17, 31) << "x 201  y 101"
                                   << "i : 4841";
    QTest::newRow("colour at 400") << true << 400 << QPoint(40, 0) << QPoint(5, 9)
                                   << "x 11  y 2  R 1291  G 1292  B 1293"
                                   << "i : 1291";
    QTest::newRow("beside the picture") << false << 25 << QPoint(0, 0) << QPoint(170, 10) << "" << "i : ";
}

// The pointer's image pixel as stored (row 0 first) and, for colour, its
// three values, at any zoom and scroll position.
void TestView::readoutTexts() {
    QFETCH(bool, colour);
    QFETCH(int, zoom);
    QFETCH(QPoint, scroll);
    QFETCH(QPoint, pointer);
    QFETCH(QString, position);
    QFETCH(QString, value);
    auto pDoc = MakeTestDoc(640, 480, 65535, 0, 65535, [](int i) { return uint32_t(i % 60000); });
    CAstroImage& image = *pDoc->m_pImage;
    if (colour) {
        image.m_isColor = true;
        image.m_green = image.m_red;
        image.m_blue = image.m_red;
        for (std::size_t i = 0; i < image.m_red.size(); ++i) {
            image.m_green[i] += 1;
            image.m_blue[i] += 2;
        }
    }
    ViewWindow window(pDoc.get(), QSize(1024, 700));
    window.ZoomAtCorner(zoom);
    window.pView->horizontalScrollBar()->setValue(scroll.x());
    window.pView->verticalScrollBar()->setValue(scroll.y());
    QCOMPARE(window.pView->ScrollOffset(), scroll);
    // From over the picture to the pointer: beside the picture the panes clear.
    SendMouse(window.pView->viewport(), QEvent::MouseMove, QPoint(0, 0), Qt::NoButton, Qt::NoButton);
    SendMouse(window.pView->viewport(), QEvent::MouseMove, pointer, Qt::NoButton, Qt::NoButton);
    QCOMPARE(window.frame.Indicators()->PositionText(), position);
    QCOMPARE(window.frame.PixelIndicatorText(), value);
}

// The selected rectangle in image pixels while dragging and after; Escape
// clears it as a plain click does.
void TestView::selectionTextAndEscape() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    auto pDoc = MakeTestDoc(640, 480, 65535, 0, 65535, Gray);
    ViewWindow window(pDoc.get(), QSize(1024, 700));
    window.ZoomAtCorner(200);
    window.pView->horizontalScrollBar()->setValue(100);
    window.pView->verticalScrollBar()->setValue(60);
    CStatusIndicators& panes = *window.frame.Indicators();
    QWidget* pPort = window.pView->viewport();
    SendMouse(pPort, QEvent::MouseButtonPress, QPoint(10, 20), Qt::LeftButton, Qt::LeftButton);
    SendMouse(pPort, QEvent::MouseMove, QPoint(110, 70), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(panes.SelectionText(), QStringLiteral("55,40 - 105,65 (50 x 25)"));
    SendMouse(pPort, QEvent::MouseButtonRelease, QPoint(110, 70), Qt::LeftButton, Qt::NoButton);
    QVERIFY(app.m_shared.m_bRegionSet);
    QCOMPARE(panes.SelectionText(), QStringLiteral("55,40 - 105,65 (50 x 25)"));
    QTest::keyClick(window.pView, Qt::Key_Escape);
    QVERIFY(!app.m_shared.m_bRegionSet);
    QCOMPARE(panes.SelectionText(), QString());
    // Past the picture's edge the rectangle stops at the image.
    window.pView->horizontalScrollBar()->setValue(0);
    window.pView->verticalScrollBar()->setValue(0);
    window.ZoomAtCorner(25);
    QCoreApplication::processEvents();  // the scroll bars go
    Drag(pPort, QPoint(100, 100), QPoint(300, 200));
    QCOMPARE(panes.SelectionText(), QStringLiteral("400,400 - 640,480 (240 x 80)"));
}

int main(int argc, char** argv) {
    return RunViewTest<TestView>(argc, argv, 32);
}

#include "test_view.moc"
