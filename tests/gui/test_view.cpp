// The image view and the stretch dialog: window size, zoom levels, fit and
// anchor; region selection mapped to image pixels and its outline; the
// readouts; the picture built from each display format; Undo/Redo enabling;
// the stretch slider scale, steps, keys and wheel, Enter, Auto and the
// histogram, and the dialog following (and never outliving) its document.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>

#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/CStatusIndicators.h"
#include "support/ISettings.h"
#include "view/CDorvaneView.h"
#include "view/CHistogramStrip.h"
#include "view/CStretchDlg.h"
#include "view/CStretchScale.h"
#include "view/CViewPicture.h"
#include "view/CViewZoom.h"

namespace {

// A main frame with one image window showing pDoc.
struct ViewWindow {
    CMainFrame frame;
    CDorvaneView* pView = nullptr;
    QMdiSubWindow* pSub = nullptr;

    explicit ViewWindow(CDorvaneDoc* pDoc) {
        CDorvaneApp::Instance()->m_pMainFrame = &frame;
        frame.OnCreate();  // the status bar with its panes
        frame.resize(1024, 700);
        pView = new CDorvaneView(pDoc);
        pSub = frame.MdiArea()->addSubWindow(pView);
        frame.show();
        pSub->show();
        pView->OnInitialUpdate();
        QCoreApplication::processEvents();
    }
    // A zoom change keeps the viewport's centre; these cases start from the
    // picture's corner, then scroll.
    void ZoomAndScroll(int zoom, QPoint scroll = {}) {
        pView->SetZoom(zoom);
        pView->horizontalScrollBar()->setValue(scroll.x());
        pView->verticalScrollBar()->setValue(scroll.y());
    }
    ~ViewWindow() {
        CDorvaneApp::Instance()->m_pMainFrame = nullptr;
        CDorvaneApp::Instance()->m_pCurrentDoc = nullptr;
        CDorvaneApp::Instance()->m_pToolBar = nullptr;  // the frame's own
    }
};

uint32_t Gray(int i) { return static_cast<uint32_t>(i % 200 + 20); }
uint32_t Flat(int) { return 1000u; }
bool IsRed(QRgb pixel) { return pixel == qRgb(255, 0, 0); }

// What picture draws into a 60 x 50 black canvas when the given parts of it
// are exposed.
QImage Paint(CViewPicture& picture, int zoom, QPoint scroll, const std::vector<QRect>& parts = {QRect(0, 0, 60, 50)}) {
    QImage out(60, 50, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter painter(&out);
    for (const QRect& part : parts)
        picture.Draw(painter, zoom, scroll, part);
    return out;
}

// An image window's view and the stretch dialog opened from it.
struct OpenDialog {
    std::unique_ptr<CDorvaneDoc> pDoc;
    std::unique_ptr<CDorvaneView> pView;
    CStretchDlg* pDlg = nullptr;

    OpenDialog(uint32_t nMaxValue, int32_t nLow, int32_t nHigh)
        : pDoc(MakeTestDoc(16, 8, nMaxValue, nLow, nHigh, Flat)), pView(std::make_unique<CDorvaneView>(pDoc.get())) {
        pView->OnActivateView(true);
        pView->OnStretch();
        pDlg = CDorvaneApp::Instance()->m_pStretchDlg;
    }
    ~OpenDialog() { delete CDorvaneApp::Instance()->m_pStretchDlg; }
    int32_t Low() const { return pDoc->m_pImage->m_stretchLow; }
    int32_t High() const { return pDoc->m_pImage->m_stretchHigh; }
};


}  // namespace

class TestView : public QObject {
    Q_OBJECT

    CDorvaneApp& App() { return *CDorvaneApp::Instance(); }

private slots:
    void init() {
        App().m_shared.m_bRegionSet = false;
        App().m_shared.m_nDisplayBpp = 32;
        App().m_pCurrentDoc = nullptr;
        App().m_bStretchDlgOpen = false;
        g_nLineStep = 500;
        g_nPageStep = 6500;
    }

    // The window is the zoomed picture plus its frame, limited by the MDI
    // area; a zoom command moves it to the corner and sets the scroll extents.
    void windowSizeForEachZoom() {
        const struct { int zoom; QSize image, frame; } sizes[] = {
            {25, QSize(100, 80), QSize(37, 51)},       {25, QSize(1001, 10), QSize(262, 33)},
            {1600, QSize(512, 512), QSize(1014, 650)}, {100, QSize(1002, 619), QSize(1014, 650)},
            {100, QSize(1003, 620), QSize(1014, 650)},
        };
        for (const auto& c : sizes)
            QCOMPARE(CDorvaneView::FrameSize(c.zoom, c.image, QSize(1014, 650)), c.frame);

        auto pDoc = MakeTestDoc(2000, 1500, 65535, 0, 65535, Gray);
        ViewWindow window(pDoc.get());
        QCOMPARE(window.pSub->geometry(), QRect(QPoint(0, 0), window.frame.MdiArea()->viewport()->size()));
        window.pSub->move(40, 30);
        window.pView->OnZoom25();
        QCOMPARE(window.pSub->geometry(), QRect(0, 0, 512, 406));
        window.pView->OnZoom1600();
        const QSize viewport = window.pView->viewport()->size();
        QCOMPARE(window.pView->horizontalScrollBar()->maximum(), 32000 - viewport.width());
        QCOMPARE(window.pView->verticalScrollBar()->maximum(), 24000 - viewport.height());
    }

    // Zoom In/Out step through the levels; Fit to Window takes the largest
    // level whose picture fits the viewport whole; every zoom change keeps
    // one image point in place: the centre's for the commands, the
    // pointer's for Ctrl+wheel.
    void zoomLevelsFitAndAnchor() {
        const struct { int zoom, steps, result; } steps[] = {
            {100, 1, 200}, {1600, 1, 1600}, {25, -1, 25}, {400, -2, 100}, {37, 1, 200}};
        for (const auto& c : steps)
            QCOMPARE(CViewZoom::Step(c.zoom, c.steps), c.result);
        const struct { QSize image, area, borders; int level; } fits[] = {
            {{2000, 1500}, {1014, 650}, {8, 28}, 25},  {{100, 80}, {1014, 650}, {8, 28}, 400},
            {{10, 10}, {1014, 650}, {8, 28}, 1600},    {{1000, 600}, {1010, 700}, {8, 28}, 100},
            {{1000, 600}, {1900, 1000}, {14, 28}, 25},  // borders wider than allowed
            {{1000, 600}, {1900, 1000}, {12, 28}, 100},
        };
        for (const auto& c : fits)
            QCOMPARE(CViewZoom::FitLevel(c.image, c.area, c.borders), c.level);

        auto pDoc = MakeTestDoc(2000, 1500, 65535, 0, 65535, Gray);
        ViewWindow window(pDoc.get());
        CDorvaneView& view = *window.pView;
        QWidget* pPort = view.viewport();
        const auto imageAt = [&](QPoint pt) { return (pt + view.ScrollOffset()) * 100 / view.m_nZoom; };
        const auto wheel = [&](QPoint pt, int delta) {
            QWheelEvent event(QPointF(pt), pPort->mapToGlobal(QPointF(pt)), QPoint(), QPoint(0, delta), Qt::NoButton,
                              Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(pPort, &event);
        };
        const QPoint centre = pPort->rect().center(), pointer(200, 150);
        const struct { std::function<void()> change; QPoint anchor; int zoom; } cases[] = {
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
        view.OnZoomFit();
        QCOMPARE(view.m_nZoom, 25);
    }

    // Drags in sequence on one window: corners normalised, the three-unit
    // rule, a click clearing the last region, the band stopping at the
    // visible edge, the scroll offset, and the mapping to image pixels.
    void regionSelectionMappedToImagePixels() {
        auto pDoc = MakeTestDoc(2000, 1500, 65535, 0, 65535, Gray);
        ViewWindow window(pDoc.get());
        const struct { int zoom; QPoint scroll, from, to; bool set; CRegion view, image; } drags[] = {
            {100, {}, {10, 20}, {110, 70}, true, {10, 20, 110, 70}, {10, 20, 110, 70}},
            {100, {}, {110, 70}, {10, 20}, true, {10, 20, 110, 70}, {10, 20, 110, 70}},
            {100, {}, {50, 50}, {53, 90}, false, {}, {}},
            {100, {}, {50, 50}, {54, 54}, true, {50, 50, 54, 54}, {50, 50, 54, 54}},
            {100, {}, {50, 50}, {90, 47}, false, {}, {}},
            {100, {}, {60, 60}, {60, 60}, false, {}, {}},
            {100, {}, {30, 30}, {-40, -25}, true, {0, 0, 30, 30}, {0, 0, 30, 30}},
            {100, {100, 50}, {0, 0}, {20, 30}, true, {100, 50, 120, 80}, {100, 50, 120, 80}},
            {200, {}, {31, 41}, {101, 81}, true, {31, 41, 101, 81}, {15, 20, 50, 40}},
            {25, {}, {31, 41}, {101, 81}, true, {31, 41, 101, 81}, {124, 164, 404, 324}},
            {1600, {}, {16, 16}, {21, 21}, true, {16, 16, 21, 21}, {1, 1, 1, 1}},
        };
        for (const auto& d : drags) {
            window.ZoomAndScroll(d.zoom, d.scroll);
            Drag(window.pView->viewport(), d.from, d.to);
            QVERIFY(!window.pView->m_bDragging);
            QCOMPARE(App().m_shared.m_bRegionSet, d.set);
            if (d.set) {
                QCOMPARE(App().m_rcRegionView, d.view);
                QCOMPARE(App().m_shared.m_rcRegionImage, d.image);
            }
        }
    }

    // After a zoom change and a scroll the outline is where the filter's
    // rectangle lies in the picture, not where the drag was.
    void outlineFollowsTheZoom() {
        const struct { int selectedAt, shownAt; QPoint scroll; } cases[] = {
            {200, 100, {}}, {100, 400, {50, 30}}, {25, 50, {}}};
        for (const auto& c : cases) {
            auto pDoc = MakeTestDoc(600, 400, 65535, 0, 65535, Flat);
            ViewWindow window(pDoc.get());
            window.ZoomAndScroll(c.selectedAt);
            Drag(window.pView->viewport(), QPoint(20, 40), QPoint(64, 72));
            window.ZoomAndScroll(c.shownAt, c.scroll);
            const CRegion& rc = App().m_shared.m_rcRegionImage;
            const QRect outline = QRect(QPoint(rc.left, rc.top) * c.shownAt / 100,
                                        QPoint(rc.right, rc.bottom) * c.shownAt / 100).translated(-c.scroll);
            const QImage shot = window.pView->viewport()->grab().toImage();
            for (QPoint corner : {outline.topLeft(), outline.topRight(), outline.bottomLeft(), outline.bottomRight()})
                QVERIFY(IsRed(shot.pixel(corner)));
            QVERIFY(!IsRed(shot.pixel(QPoint(64, 72) - c.scroll)));
        }
    }

    // The pointer's image pixel as stored (row 0 first) and, for colour,
    // its three values, at any zoom and scroll; beside the picture the panes
    // clear. The selection pane follows the drag in image pixels, clipped to
    // the image; Escape clears it as a click does.
    void readouts() {
        const struct { bool colour; int zoom; QPoint scroll, pointer; const char *position, *value; } cases[] = {
            {false, 100, {0, 0}, {10, 20}, "x 10  y 20", "i : 12810"},
            {false, 200, {100, 60}, {11, 15}, "x 55  y 37", "i : 23735"},
            {false, 1600, {3200, 1600}, {17, 31}, "x 201  y 101", "i : 4841"},
            {true, 400, {40, 0}, {5, 9}, "x 11  y 2  R 1291  G 1292  B 1293", "i : 1291"},
            {false, 25, {0, 0}, {160, 10}, "", "i : "},
        };
        auto pDoc = MakeTestDoc(640, 480, 65535, 0, 65535, [](int i) { return uint32_t(i % 60000); });
        CAstroImage& image = *pDoc->m_pImage;
        ViewWindow window(pDoc.get());
        image.m_green = image.m_blue = image.m_red;
        for (std::size_t i = 0; i < image.m_red.size(); ++i) {
            image.m_green[i] += 1;
            image.m_blue[i] += 2;
        }
        for (const auto& c : cases) {
            image.m_isColor = c.colour;
            window.ZoomAndScroll(c.zoom, c.scroll);
            SendMouse(window.pView->viewport(), QEvent::MouseMove, QPoint(0, 0), Qt::NoButton, Qt::NoButton);
            SendMouse(window.pView->viewport(), QEvent::MouseMove, c.pointer, Qt::NoButton, Qt::NoButton);
            QCOMPARE(window.frame.Indicators()->PositionText(), QString::fromLatin1(c.position));
            QCOMPARE(window.frame.PixelIndicatorText(), QString::fromLatin1(c.value));
        }

        window.ZoomAndScroll(200, QPoint(100, 60));
        Drag(window.pView->viewport(), QPoint(10, 20), QPoint(110, 70));
        QCOMPARE(window.frame.Indicators()->SelectionText(), QStringLiteral("55,40 - 105,65 (50 x 25)"));
        window.ZoomAndScroll(25);
        QCoreApplication::processEvents();  // the scroll bars go
        Drag(window.pView->viewport(), QPoint(100, 100), QPoint(300, 200));
        QCOMPARE(window.frame.Indicators()->SelectionText(), QStringLiteral("400,400 - 640,480 (240 x 80)"));
        QTest::keyClick(window.pView, Qt::Key_Escape);
        QVERIFY(!App().m_shared.m_bRegionSet);
        QCOMPARE(window.frame.Indicators()->SelectionText(), QString());
    }

    // Each display format read exactly (24 bits with odd rows and no
    // padding, RGB555, b-g-r-0); a short buffer gives
    // no picture. Reduced, each pixel is the rounded mean of its block;
    // painted in strips, the same as whole.
    void pictureFromEachDisplayFormat() {
        CViewPicture picture;
        const struct { std::vector<uint8_t> bytes; int w, h, depth; std::vector<std::pair<QPoint, QRgb>> shown; } formats[] = {
            {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}, 3, 2, 24,
             {{{0, 0}, qRgb(3, 2, 1)}, {{2, 0}, qRgb(9, 8, 7)}, {{0, 1}, qRgb(12, 11, 10)}, {{2, 1}, qRgb(18, 17, 16)},
              {{3, 0}, qRgb(0, 0, 0)}}},
            {{0x00, 0x7E, 0x1F, 0x00}, 1, 2, 16, {{{0, 0}, qRgb(255, 132, 0)}, {{0, 1}, qRgb(0, 0, 255)}}},
            {{200, 100, 50, 0, 1, 2, 3, 0}, 2, 1, 32, {{{0, 0}, qRgb(50, 100, 200)}, {{1, 0}, qRgb(3, 2, 1)}}},
        };
        for (const auto& f : formats) {
            picture.SetSource(f.bytes.data(), f.bytes.size(), f.w, f.h, f.depth);
            const QImage shown = Paint(picture, 100, QPoint(0, 0));
            for (const auto& [at, colour] : f.shown)
                QCOMPARE(shown.pixel(at), colour);
            picture.SetSource(f.bytes.data(), f.bytes.size() - 1, f.w, f.h, f.depth);
            QVERIFY(picture.IsEmpty());
            QCOMPARE(Paint(picture, 100, QPoint(0, 0)).pixel(0, 0), qRgb(0, 0, 0));
        }

        // 19 x 11 pixels of distinct colours at each depth.
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
            picture.SetSource(buffer.data(), buffer.size(), kW, kH, depth);
            const QImage full = Paint(picture, 100, QPoint(0, 0));
            for (int zoom : {50, 25}) {
                const int f = 100 / zoom, n = f * f;
                const QImage reduced = Paint(picture, zoom, QPoint(0, 0));
                for (int y = 0; y < kH / f; ++y) {
                    for (int x = 0; x < kW / f; ++x) {
                        const auto mean = [&](int (*channel)(QRgb)) {
                            int sum = n / 2;
                            for (int d = 0; d < n; ++d)
                                sum += channel(full.pixel(f * x + d % f, f * y + d / f));
                            return sum / n;
                        };
                        QCOMPARE(reduced.pixel(x, y), qRgb(mean(qRed), mean(qGreen), mean(qBlue)));
                    }
                }
                QCOMPARE(reduced.pixel(kW / f, 0), qRgb(0, 0, 0));  // the partial column is dropped
            }
            for (int zoom : {25, 50, 100, 200, 400, 800}) {
                const QPoint at = zoom >= 100 ? QPoint(3, 5) : QPoint(1, 1);
                QCOMPARE(Paint(picture, zoom, at, {QRect(0, 0, 3, 50), QRect(3, 0, 57, 2), QRect(3, 2, 57, 48)}),
                         Paint(picture, zoom, at));
            }
        }
    }

    void undoRedoEnabling() {
        auto pDoc = MakeTestDoc(8, 4, 65535, 0, 1000, [](int) { return 100u; });
        CDorvaneView view(pDoc.get());
        QSignalSpy changed(&view, &CDorvaneView::undoRedoStateChanged);
        QVERIFY(!view.OnUpdateEditUndo() && !view.OnUpdateEditRedo());
        CAstroImage& image = *pDoc->m_pImage;
        image.SaveUndo();  // what the filter command does after a run
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
    }

    void stretchScaleAndSteps() {
        const struct { uint32_t (*f)(uint32_t, uint32_t); uint32_t a, b, result; } twos[] = {
            {CStretchScale::Value, 500, 65535, 32767},   {CStretchScale::Position, 200, 255, 784},
            {CStretchScale::Position, 255, 255, 1000},   {CStretchScale::Position, 70000, 65535, 1000},
            {CStretchScale::Position, 4294968u, 65535, 1000}, {CStretchScale::Position, 100, 0, 0},
            {CStretchScale::StepDown, 300, 6553, 0},     {CStretchScale::StepDown, 655, 655, 0},
            {CStretchScale::StepDown, 656, 655, 1},
        };
        for (const auto& c : twos)
            QCOMPARE(c.f(c.a, c.b), c.result);
        QCOMPARE(CStretchScale::StepUp(10, 6500, 255), 255u);
        QCOMPARE(CStretchScale::StepUp(4294967000u, 6500, 65535), 65535u);
        QCOMPARE(CStretchScale::StepUp(100, 25, 255), 125u);
    }

    // Slider actions apply as they move; Max from its slider sets the steps
    // for the full scale.
    void stretchSliderActions() {
        OpenDialog open(255, 10, 200);
        QSlider* pMin = open.pDlg->m_sliderMin;
        QCOMPARE(open.pDlg->m_sliderMax->value(), 784);
        QCOMPARE(pMin->value(), 39);
        pMin->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(pMin->value(), 1000);
        QCOMPARE(open.pDlg->m_editMin->text(), QStringLiteral("255"));
        QCOMPARE(open.Low(), 255);
        QCOMPARE(g_nLineStep, 500u);  // Min never changes the steps
        open.pDlg->m_sliderMax->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(open.High(), 0);
        QCOMPARE(g_nLineStep, 2u);
        QCOMPARE(g_nPageStep, 25u);
        pMin->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(open.Low(), 253);
        QCOMPARE(pMin->value(), 992);
        pMin->triggerAction(QAbstractSlider::SliderPageStepSub);
        QCOMPARE(open.Low(), 228);
        pMin->triggerAction(QAbstractSlider::SliderToMinimum);  // Home applies nothing
        QCOMPARE(open.Low(), 228);
        pMin->setSliderDown(true);  // a thumb drag applies as it goes
        pMin->setSliderPosition(500);
        QCOMPARE(open.Low(), 127);
        pMin->setSliderDown(false);
    }

    // Each key and the wheel move Min as a trackbar does: Left, Up and the
    // wheel forward one line down, Page Up a page down; one notch is one
    // line, with Shift one page.
    void stretchKeysAndWheel() {
        const struct { Qt::Key key; int wheel; bool shift; int min; } cases[] = {
            {Qt::Key_Left, 0, false, 9500},   {Qt::Key_Right, 0, false, 10500},   {Qt::Key_Up, 0, false, 9500},
            {Qt::Key_Down, 0, false, 10500},  {Qt::Key_PageUp, 0, false, 3500},   {Qt::Key_PageDown, 0, false, 16500},
            {Qt::Key(0), 120, false, 9500},   {Qt::Key(0), -120, false, 10500},   {Qt::Key(0), 60, false, 10000},
            {Qt::Key(0), 120, true, 3500},    {Qt::Key(0), -120, true, 16500},
        };
        for (const auto& c : cases) {
            OpenDialog open(65535, 10000, 60000);
            QSlider* pSlider = open.pDlg->m_sliderMin;
            const Qt::KeyboardModifiers modifiers = c.shift ? Qt::ShiftModifier : Qt::NoModifier;
            if (c.key != 0) {
                QTest::keyClick(pSlider, c.key, modifiers);
            } else {
                const QPointF centre = QRectF(pSlider->rect()).center();
                QWheelEvent event(centre, pSlider->mapToGlobal(centre), QPoint(), QPoint(0, c.wheel), Qt::NoButton,
                                  modifiers, Qt::NoScrollPhase, false);
                QApplication::sendEvent(pSlider, &event);
            }
            QCOMPARE(open.Low(), c.min);
            QCOMPARE(open.pDlg->m_editMin->text().toInt(), c.min);
        }
    }

    void stretchEnterAppliesBoth() {
        OpenDialog open(65535, 100, 60000);
        open.pDlg->m_editMin->setText(QStringLiteral("1000"));
        open.pDlg->m_editMax->setText(QStringLiteral("70000"));
        QTest::keyClick(open.pDlg->m_editMin, Qt::Key_Return);
        QCOMPARE(open.Low(), 1000);
        QCOMPARE(open.High(), 70000);  // as typed, slider at its end
        QCOMPARE(open.pDlg->m_sliderMin->value(), 15);
        QCOMPARE(open.pDlg->m_sliderMax->value(), 1000);
        open.pDlg->m_editMax->clear();
        QTest::keyClick(open.pDlg, Qt::Key_Enter);
        QCOMPARE(open.High(), 0);
    }

    // The dialog comes back onto the screen, shows the focused image
    // window's values, acts on that one only, is disabled when its document
    // closes, and clears its open flag when it closes.
    void stretchDialogFollowsTheCurrentDocument() {
        App().Settings().WriteInt("Settings", "Stretch Left", 50000);  // saved on a screen now gone
        App().Settings().WriteInt("Settings", "Stretch Top", 40000);
        OpenDialog open(65535, 100, 200);
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(QRect(open.pDlg->pos(), open.pDlg->size())));
        auto pOther = MakeTestDoc(16, 8, 65535, 300, 400, Flat);
        auto pOtherView = std::make_unique<CDorvaneView>(pOther.get());
        QFocusEvent focusIn(QEvent::FocusIn);
        QApplication::sendEvent(pOtherView.get(), &focusIn);
        QVERIFY(App().m_pCurrentDoc == pOther.get());
        QCOMPARE(open.pDlg->m_editMin->text(), QStringLiteral("300"));
        QCOMPARE(open.pDlg->m_sliderMax->value(), 6);
        open.pDlg->m_editMin->setText(QStringLiteral("350"));
        open.pDlg->ApplyBoth();
        QCOMPARE(pOther->m_pImage->m_stretchLow, 350);
        QCOMPARE(open.Low(), 100);
        QApplication::sendEvent(open.pView.get(), &focusIn);

        // The current window closes: its view goes, then its document.
        open.pView.reset();
        open.pDoc.reset();
        QVERIFY(App().m_pCurrentDoc == nullptr && !open.pDlg->isEnabled());
        open.pDlg->ApplyBoth();
        open.pDlg->m_sliderMin->triggerAction(QAbstractSlider::SliderPageStepAdd);
        open.pDlg->m_sliderMax->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        open.pDlg->RefreshFromDocument();
        QCOMPARE(pOther->m_pImage->m_stretchLow, 350);
        QCOMPARE(g_nLineStep, 500u);
        pOtherView->OnActivateView(true);
        QVERIFY(open.pDlg->isEnabled());
        QTest::keyClick(open.pDlg, Qt::Key_Escape);  // the close path
        QVERIFY(!App().m_bStretchDlgOpen);
    }

    // The histogram counts the red plane over the full scale, again when a
    // filter run or Undo changes the planes; Min and Max are marked; Auto
    // applies the automatic stretch.
    void histogramMarksAndAuto() {
        OpenDialog open(65535, 100, 200);
        CHistogramStrip& strip = *open.pDlg->m_pHistogram;
        const auto bars = [&](std::initializer_list<std::pair<uint32_t, uint32_t>> counts) {
            std::vector<uint32_t> expected(static_cast<std::size_t>(strip.width()), 0u);
            for (auto [value, count] : counts)
                expected[uint64_t(value) * expected.size() / 65536] += count;
            return expected;
        };
        QCOMPARE(strip.Bars(), bars({{1000, 128}}));
        CAstroImage& image = *open.pDoc->m_pImage;
        image.SaveUndo();
        for (std::size_t i = 0; i < image.m_red.size(); ++i)
            image.m_red[i] = i < 8 ? 10 : i < 18 ? 20 : 50;
        open.pView->SetUndoState(true, false);
        QCOMPARE(strip.Bars(), bars({{10, 8}, {20, 10}, {50, 110}}));
        open.pView->OnEditUndo();
        QCOMPARE(strip.Bars(), bars({{1000, 128}}));
        open.pView->OnEditRedo();
        open.pDlg->m_editMin->setText(QStringLiteral("32768"));
        open.pDlg->ApplyMin();
        const QImage shot = strip.grab().toImage();
        QCOMPARE(shot.pixel(strip.MarkColumn(32768), 0), qRgb(90, 160, 255));
        QCOMPARE(shot.pixel(strip.MarkColumn(200), 0), qRgb(255, 200, 60));
        open.pDlg->m_buttonAuto->click();
        QCOMPARE(open.pDlg->m_editMin->text(), QStringLiteral("20"));
        QCOMPARE(open.pDlg->m_editMax->text(), QStringLiteral("50"));
        QCOMPARE(open.Low(), 20);
        QCOMPARE(open.High(), 50);
        QCOMPARE(open.pDlg->m_sliderMax->value(), 0);
    }
};

DORVANE_GUI_TEST_MAIN(TestView)
#include "test_view.moc"
