// The viewer's tools on a 61-megapixel image in a main window, offscreen:
// the pointer readout (one mouse move until the status bar is repainted),
// the stretch dialog's histogram (counting the plane, once per change of the
// planes, and one redraw as Min moves) and Show Original (turned on, turned
// off, and a stretch change while it is on, each until the viewport is
// repainted), next to a plain stretch step for comparison; and the tint of
// replaced pixels over a 1600 x 1000 viewport at each zoom, for 600 bloom
// trails. The figures are printed; nothing here asserts a time.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QWindow>
#include <algorithm>
#include <memory>
#include <random>

#include "app/CDorvaneApp.h"
#include "app/CMainFrame.h"
#include "filter/CFilterRunRecord.h"
#include "filter/CReplacedPixelRuns.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"
#include "view/CDorvaneView.h"
#include "view/CHistogramStrip.h"
#include "view/CReplacedOverlay.h"
#include "view/CStretchDlg.h"

namespace {

constexpr int kWidth = 9600;
constexpr int kHeight = 6400;  // 61.4 megapixels
constexpr QSize kViewport(1600, 1000);

class CBenchImage : public CAstroImage {
public:
    using CAstroImage::CAstroImage;
    bool Open(const std::string&) override { return false; }
    int Save(const std::string&) override { return 0; }
};

struct SScene {
    CCollectingMessageSink sink;
    CMemorySettings settings;
    std::unique_ptr<CDorvaneDoc> pDoc;
    std::unique_ptr<CMainFrame> pFrame;
    CDorvaneView* pView = nullptr;
};

SScene* g_pScene = nullptr;

// A sky-like ramp with a fine texture; after the "filter run" every 97th
// column is a little darker, so that the original differs everywhere.
void BuildScene(CDorvaneApp& app) {
    auto* pScene = new SScene;
    pScene->pDoc = std::make_unique<CDorvaneDoc>(app.m_shared, pScene->sink, pScene->settings);
    auto* pImage = new CBenchImage(app.m_shared, pScene->sink);
    pImage->m_width = kWidth;
    pImage->m_height = kHeight;
    pImage->m_maxValue = 65535;
    pImage->m_bitsPerPixel = 16;
    pImage->m_red.resize(std::size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            pImage->m_red[std::size_t(y) * kWidth + x] =
                uint32_t(1000 + (x * 7 + y * 3) % 4000 + ((x ^ y) & 63) * 40);
    pImage->m_displayLut.resize(65536);
    pImage->m_displayPixels.resize(pImage->m_red.size() * 4);
    pImage->m_stretchLow = 1000;
    pImage->m_stretchHigh = 6000;
    pImage->SaveUndo();
    for (std::size_t p = 0; p < pImage->m_red.size(); p += 97)
        pImage->m_red[p] -= 500;
    pImage->UpdateDisplay();
    pScene->pDoc->m_pImage = pImage;
    pScene->pDoc->m_isFits = 1;
    app.m_shared.m_nFullScale = 65535;

    pScene->pFrame = std::make_unique<CMainFrame>();
    CMainFrame& frame = *pScene->pFrame;
    app.m_pMainFrame = &frame;
    frame.OnCreate();
    frame.resize(1700, 1200);
    frame.show();
    pScene->pView = new CDorvaneView(pScene->pDoc.get());
    QMdiSubWindow* pSub = frame.MdiArea()->addSubWindow(pScene->pView);
    pSub->show();
    pScene->pView->OnInitialUpdate();
    pScene->pView->OnActivateView(true);
    pScene->pView->SetUndoState(true, false);
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    pScene->pView->viewport()->repaint();
    g_pScene = pScene;
}

void BM_ReadoutMove(benchmark::State& state) {
    CDorvaneView& view = *g_pScene->pView;
    QStatusBar* pBar = g_pScene->pFrame->statusBar();
    int x = 100;
    for (auto _ : state) {
        x = x == 100 ? 101 : 100;
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 200), view.viewport()->mapToGlobal(QPointF(x, 200)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view.viewport(), &move);
        pBar->repaint();
    }
    state.counters["viewport_w"] = view.viewport()->width();
    state.counters["viewport_h"] = view.viewport()->height();
}

CHistogramStrip& Strip() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    if (!app.m_bStretchDlgOpen) {
        g_pScene->pView->OnStretch();
        // Paints only reach a window the platform has exposed.
        for (int i = 0; i < 200 && !app.m_pStretchDlg->windowHandle()->isExposed(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return *app.m_pStretchDlg->m_pHistogram;
}

// Counts the paints that really happen, so that a figure never comes from a
// repaint that did nothing.
class CPaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++m_nPaints;
        return false;
    }
    long m_nPaints = 0;
};

// What a filter run, Undo or Redo costs the open dialog: one count.
void BM_HistogramCount(benchmark::State& state) {
    CHistogramStrip& strip = Strip();
    for (auto _ : state) {
        strip.MarkStale();
        benchmark::DoNotOptimize(strip.Bars().data());
    }
}

// What moving Min costs the histogram: the marks move, the bars are redrawn.
void BM_HistogramRedraw(benchmark::State& state) {
    CHistogramStrip& strip = Strip();
    CPaintCounter paints;
    strip.installEventFilter(&paints);
    strip.repaint();
    uint32_t nMin = 1000;
    for (auto _ : state) {
        nMin = nMin == 1000 ? 30000 : 1000;
        strip.SetMarks(nMin, 6000, 65535);
        strip.repaint();
    }
    state.counters["paints"] = double(paints.m_nPaints);
    state.counters["width"] = strip.width();
}

// The original's display pixels alone, as at the first look after a filter
// run: the core's remap of the undo planes into the view's emptied buffer
// (range 0), or into a fresh one the first time a view shows an original
// (range 1).
void BM_MapUndoPlanes(benchmark::State& state) {
    std::vector<uint8_t> kept;
    for (auto _ : state) {
        std::vector<uint8_t> fresh;
        std::vector<uint8_t>& out = state.range(0) != 0 ? fresh : kept;
        out.clear();
        g_pScene->pDoc->m_pImage->MapUndoPlanes(out);
        benchmark::DoNotOptimize(out.data());
    }
}

// Show Original turned on (range 1) or off (range 0), until repainted. The
// first look after a filter run also maps the undo planes: BM_MapUndoPlanes.
void BM_ShowOriginal(benchmark::State& state) {
    CDorvaneView& view = *g_pScene->pView;
    const bool bOn = state.range(0) != 0;
    view.SetShowOriginal(true);
    view.viewport()->repaint();
    for (auto _ : state) {
        state.PauseTiming();
        view.SetShowOriginal(!bOn);
        view.viewport()->repaint();
        state.ResumeTiming();
        view.SetShowOriginal(bOn);
        view.viewport()->repaint();
    }
    state.counters["showing"] = view.IsShowingOriginal();
}

// A stretch step as the dialog makes it, with the original shown (range 1:
// both buffers are remapped) or not (range 0, for comparison).
void BM_StretchStep(benchmark::State& state) {
    CDorvaneView& view = *g_pScene->pView;
    CAstroImage& image = *g_pScene->pDoc->m_pImage;
    view.SetShowOriginal(state.range(0) != 0);
    int32_t high = 6000;
    for (auto _ : state) {
        high = high == 6000 ? 6500 : 6000;
        image.m_stretchHigh = high;
        image.UpdateDisplay();
        view.viewport()->repaint();
    }
    view.SetShowOriginal(false);
}

// Replaced pixels like a run leaves them on a crowded frame: 600 trails of
// 2 to 5 columns and 50 to 800 rows, each with its star's disc.
CFilterRunRecord ReplacedTrails() {
    CFilterRunRecord record;
    record.imageWidth = kWidth;
    record.imageHeight = kHeight;
    std::vector<std::vector<std::pair<int32_t, int32_t>>> rows(kHeight);
    std::mt19937 rng(16);
    for (int k = 0; k < 600; ++k) {
        const int32_t x = int32_t(rng() % (kWidth - 20)), columns = 2 + int32_t(rng() % 4);
        const int32_t length = 50 + int32_t(rng() % 750), top = int32_t(rng() % (kHeight - length));
        for (int32_t y = top; y < top + length; ++y)
            rows[std::size_t(y)].emplace_back(x, x + columns);
        for (int32_t dy = -6; dy <= 6; ++dy)
            rows[std::size_t(top + length / 2 + dy)].emplace_back(x - 6 + std::abs(dy) / 2, x + 7 - std::abs(dy) / 2);
    }
    CChangeMask& changes = record.planes.emplace_back().changes;
    changes.Reset(kWidth, kHeight);
    for (int32_t y = 0; y < kHeight; ++y) {
        auto& spans = rows[std::size_t(y)];
        std::sort(spans.begin(), spans.end());
        int32_t left = 0, right = -1;
        for (const auto& [a, b] : spans) {
            if (a > right) {
                if (right > left)
                    changes.Add(y, left, right);
                left = a;
            }
            right = std::max(right, b);
        }
        if (right > left)
            changes.Add(y, left, right);
    }
    return record;
}

void BM_ReplacedOverlay(benchmark::State& state) {
    static const CReplacedPixelRuns runs(ReplacedTrails());
    const int32_t zoom = static_cast<int32_t>(state.range(0));
    const QSize zoomed(int(int64_t(kWidth) * zoom / 100), int(int64_t(kHeight) * zoom / 100));
    const QPoint scroll((zoomed.width() - kViewport.width()) / 2, (zoomed.height() - kViewport.height()) / 2);
    QImage target(kViewport, QImage::Format_RGB32);
    target.fill(Qt::black);
    for (auto _ : state) {
        QPainter painter(&target);
        CReplacedOverlay::Draw(painter, runs, zoom, QPoint(std::max(scroll.x(), 0), std::max(scroll.y(), 0)),
                               QRect(QPoint(0, 0), kViewport), zoomed);
    }
}

}  // namespace

BENCHMARK(BM_ReplacedOverlay)->Arg(25)->Arg(50)->Arg(100)->Arg(400)->Arg(1600)->Unit(benchmark::kMillisecond)
    ->MinTime(0.3);
BENCHMARK(BM_ReadoutMove)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_HistogramCount)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(10);
BENCHMARK(BM_HistogramRedraw)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_ShowOriginal)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()
    ->Iterations(10);
BENCHMARK(BM_MapUndoPlanes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()->Iterations(10);
BENCHMARK(BM_StretchStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()
    ->Iterations(10);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CDorvaneApp app(argc, argv);
    app.m_shared.m_nDisplayBpp = 32;
    BuildScene(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete app.m_pStretchDlg;
    app.m_pMainFrame = nullptr;
    app.m_pCurrentDoc = nullptr;
    g_pScene->pFrame.reset();
    delete g_pScene;
    return 0;
}
