// Painting a 61-megapixel image in the image view, offscreen: one full
// repaint of a 1600 x 1000 viewport at each zoom (goal: 30 ms or less), a
// scroll step, and a stretch change (remap plus rebuilt picture); and the
// tint of replaced pixels over a 1600 x 1000 viewport of that image at each
// zoom, for 600 bloom trails. The figures are printed; nothing here asserts
// a time.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QPaintEvent>
#include <QScrollBar>
#include <QWindow>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>

#include "app/CDorvaneApp.h"
#include "filter/CFilterRunRecord.h"
#include "filter/CReplacedPixelRuns.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"
#include "view/CDorvaneView.h"
#include "view/CReplacedOverlay.h"

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
    std::unique_ptr<CDorvaneView> pView;
};

SScene* g_pScene = nullptr;

// Counts the paints that really reach the viewport, so a figure can never
// come from a repaint that did nothing.
class CPaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++m_nPaints;
        return false;
    }
    long m_nPaints = 0;
};
CPaintCounter g_paints;

void BuildScene(CDorvaneApp& app) {
    auto* pScene = new SScene;
    pScene->pDoc = std::make_unique<CDorvaneDoc>(app.m_shared, pScene->sink, pScene->settings);
    auto* pImage = new CBenchImage(app.m_shared, pScene->sink);
    pImage->m_width = kWidth;
    pImage->m_height = kHeight;
    pImage->m_maxValue = 65535;
    pImage->m_bitsPerPixel = 16;
    pImage->m_red.resize(std::size_t(kWidth) * kHeight);
    // A sky-like ramp with a fine texture, so smoothing has work to do.
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            pImage->m_red[std::size_t(y) * kWidth + x] =
                uint32_t(1000 + (x * 7 + y * 3) % 4000 + ((x ^ y) & 63) * 40);
    pImage->m_displayLut.resize(65536);
    pImage->m_stretchLow = 1000;
    pImage->m_stretchHigh = 6000;
    pImage->UpdateDisplay();
    pScene->pDoc->m_pImage = pImage;
    pScene->pDoc->m_isFits = 1;
    app.m_shared.m_nFullScale = 65535;

    pScene->pView = std::make_unique<CDorvaneView>(pScene->pDoc.get());
    CDorvaneView& view = *pScene->pView;
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view.viewport()->installEventFilter(&g_paints);
    view.resize(kViewport);
    view.show();
    // Grow the window until the viewport itself is 1600 x 1000.
    view.resize(kViewport + (kViewport - view.viewport()->size()));
    view.OnUpdate();
    // Paints only reach a window the platform has exposed.
    for (int i = 0; i < 200 && !(view.windowHandle() && view.windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    g_pScene = pScene;
}

void Center(CDorvaneView& view) {
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
}

void BM_FullRepaint(benchmark::State& state) {
    CDorvaneView& view = *g_pScene->pView;
    view.SetZoom(static_cast<int32_t>(state.range(0)));
    Center(view);
    view.viewport()->repaint();  // the reduced copies are made here once
    const long nBefore = g_paints.m_nPaints;
    for (auto _ : state)
        view.viewport()->repaint();
    state.counters["paints"] = double(g_paints.m_nPaints - nBefore);
    state.counters["viewport_w"] = view.viewport()->width();
    state.counters["viewport_h"] = view.viewport()->height();
}

void BM_ScrollStep(benchmark::State& state) {
    CDorvaneView& view = *g_pScene->pView;
    view.SetZoom(static_cast<int32_t>(state.range(0)));
    Center(view);
    view.viewport()->repaint();
    int step = 40;
    for (auto _ : state) {
        QScrollBar* pBar = view.horizontalScrollBar();
        pBar->setValue(pBar->value() + step);
        step = -step;
        view.viewport()->repaint();
    }
}

// A stretch change as the dialog makes it: remap the display buffer, then
// the repaint rebuilds the picture (and at 25 % its reduced copies).
void BM_StretchChange(benchmark::State& state) {
    CDorvaneView& view = *g_pScene->pView;
    CAstroImage& image = *g_pScene->pDoc->m_pImage;
    view.SetZoom(static_cast<int32_t>(state.range(0)));
    Center(view);
    int32_t high = 6000;
    for (auto _ : state) {
        high = high == 6000 ? 6500 : 6000;
        image.m_stretchHigh = high;
        image.UpdateDisplay();
        view.viewport()->repaint();
    }
}

// The same without the remap: only the picture rebuild and the paint.
void BM_PictureRebuild(benchmark::State& state) {
    CDorvaneView& view = *g_pScene->pView;
    CAstroImage& image = *g_pScene->pDoc->m_pImage;
    view.SetZoom(static_cast<int32_t>(state.range(0)));
    Center(view);
    for (auto _ : state) {
        image.m_displayChanged = true;
        view.viewport()->repaint();
    }
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
BENCHMARK(BM_FullRepaint)->Arg(25)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Arg(800)->Arg(1600)
    ->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_ScrollStep)->Arg(25)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_PictureRebuild)->Arg(100)->Arg(25)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StretchChange)->Arg(100)->Arg(25)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CDorvaneApp app(argc, argv);
    app.m_shared.m_nDisplayBpp = 32;
    BuildScene(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_pScene->pView.reset();
    delete g_pScene;
    return 0;
}
