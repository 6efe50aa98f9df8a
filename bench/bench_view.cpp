// The desktop program on a 61-megapixel frame (9576 x 6388, 16 bits) in a
// 1600 x 1000 viewport, offscreen: each user action timed from the action to
// the repainted viewport, next to its goal, with the memory-copy floor
// measured in the same run. The figures are printed; nothing here asserts a
// time. Options: --depth 16|24|32 (display depth; 32 unless given),
// --quick (fewer repetitions).
//
// Each action goes through the program's own path: the file opens through
// the document template, the stretch changes through the dialog's slider and
// Enter, the zoom and Undo/Redo through their menu actions, the page scroll
// through the scroll bar, Remove Blooming through its command with the
// default parameters (the step after the dialog's OK).
#include <QAbstractSlider>
#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "CLargeBenchFrame.h"
#include "app/CChildFrame.h"
#include "app/CDorvaneApp.h"
#include "app/CDorvaneDocTemplate.h"
#include "app/CImageDocument.h"
#include "app/CMainFrame.h"
#include "app/Resource.h"
#include "filter/CChildFrameFilterTarget.h"
#include "filter/CRemoveBloomingCommand.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/CCollectingMessageSink.h"
#include "support/CLargeBuffer.h"
#include "view/CDorvaneView.h"
#include "view/CStretchDlg.h"

namespace {

constexpr int kWidth = kLargeFrameWidth;
constexpr int kHeight = kLargeFrameHeight;
constexpr QSize kViewport(1600, 1000);
constexpr int kZooms[] = {25, 50, 100, 200, 400, 800, 1600};

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Paints that reach an image view's viewport.
class CPaintCounter : public QObject {
public:
    bool eventFilter(QObject* pObject, QEvent* event) override {
        if (event->type() == QEvent::Paint && pObject->parent() &&
            qobject_cast<CDorvaneView*>(pObject->parent()))
            ++m_nPaints;
        return false;
    }
    long m_nPaints = 0;
};
CPaintCounter g_paints;

// Runs the event loop until a view has painted since nBefore, then once more
// so that nothing the action queued is left; false after 20 s.
bool WaitForPaint(long nBefore) {
    const auto start = Clock::now();
    while (g_paints.m_nPaints == nBefore) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (Ms(start, Clock::now()) > 20000)
            return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return true;
}

// Processor time of the whole process (all threads), in ms.
double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// Processor time of the last TimeToPaint: on a busy machine it shows the
// work done, where the wall time also holds the waiting for a core.
double g_lastCpu = 0;

// Times action() up to the repainted viewport.
template <typename Action>
double TimeToPaint(Action action) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    const long nBefore = g_paints.m_nPaints;
    const double cpu = CpuMs();
    const auto start = Clock::now();
    action();
    if (!WaitForPaint(nBefore)) {
        std::printf("  (no paint came)\n");
        return -1;
    }
    const double ms = Ms(start, Clock::now());
    g_lastCpu = CpuMs() - cpu;
    return ms;
}

struct SFigure {
    std::vector<double> samples;
    std::vector<double> cpu;
    void Add(double ms, double cpuMs = -1) {
        samples.push_back(ms);
        cpu.push_back(cpuMs < 0 ? g_lastCpu : cpuMs);
    }
    double Median() const { return MedianOf(samples); }
    static double MedianOf(const std::vector<double>& values) {
        std::vector<double> s = values;
        std::sort(s.begin(), s.end());
        if (s.empty())
            return 0;
        return s.size() % 2 ? s[s.size() / 2] : (s[s.size() / 2 - 1] + s[s.size() / 2]) / 2;
    }
    double Max() const { return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end()); }
    double Min() const { return samples.empty() ? 0 : *std::min_element(samples.begin(), samples.end()); }
};

void PrintRow(const char* step, const SFigure& f, double goal) {
    char goalText[32] = "";
    if (goal > 0)
        std::snprintf(goalText, sizeof goalText, "%7.0f", goal);
    const char* verdict = goal <= 0 ? "" : f.Median() <= goal ? "ok" : "OVER";
    std::printf("%-44s %8.1f %8.1f %8.1f %8.1f %7s  %s\n", step, f.Median(), f.Min(), f.Max(),
                SFigure::MedianOf(f.cpu), goalText, verdict);
    std::fflush(stdout);
}

void PrintHeader() {
    std::printf("%-44s %8s %8s %8s %8s %7s\n", "Step (ms, wall; cpu: processor time, all threads)", "median",
                "min", "max", "cpu", "goal");
}

class CViewBench {
public:
    CViewBench(CDorvaneApp& app, std::string path, int nRepeat)
        : m_app(app), m_path(std::move(path)), m_nRepeat(nRepeat) {}

    bool Run();

private:
    CChildFrame* Frame() const { return m_app.m_pMainFrame->ActiveChild(); }
    CDorvaneView* View() const { return Frame() ? Frame()->View() : nullptr; }
    CAstroImage& Image() const { return *Frame()->Document()->Core()->m_pImage; }
    void Trigger(int id) { m_app.m_pMainFrame->CommandAction(id)->trigger(); }
    bool Open(SFigure* pFigure);
    void FitViewport();
    void Centre();
    void Floors();
    void Stretch();
    void Zoom();
    void Scroll();
    void Repaint();
    void Filter();

    static int ZoomId(int nZoom);

    CDorvaneApp& m_app;
    std::string m_path;
    int m_nRepeat;
};

int CViewBench::ZoomId(int nZoom) {
    switch (nZoom) {
        case 25: return DorvaneIds::ID_ZOOM_25;
        case 50: return DorvaneIds::ID_ZOOM_50;
        case 200: return DorvaneIds::ID_ZOOM_200;
        case 400: return DorvaneIds::ID_ZOOM_400;
        case 800: return DorvaneIds::ID_ZOOM_800;
        case 1600: return DorvaneIds::ID_ZOOM_1600;
        default: return DorvaneIds::ID_ZOOM_100;
    }
}

bool CViewBench::Open(SFigure* pFigure) {
    if (m_app.m_pStretchDlg)
        m_app.m_pStretchDlg->close();
    m_app.DocTemplate()->CloseAllDocuments();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    CImageDocument* pDoc = nullptr;
    const QString path = QString::fromStdString(m_path);
    const double ms = TimeToPaint([&] { pDoc = m_app.DocTemplate()->OpenDocumentFile(path); });
    if (pDoc == nullptr || ms < 0)
        return false;
    if (pFigure)
        pFigure->Add(ms);
    return true;
}

// Sizes the main window so that the image window, limited by it at every
// zoom, has a viewport of exactly kViewport.
void CViewBench::FitViewport() {
    CMainFrame& main = *m_app.m_pMainFrame;
    for (int i = 0; i < 4; ++i) {
        const QSize now = View()->viewport()->size();
        if (now == kViewport)
            return;
        main.resize(main.size() + (kViewport - now));
        Trigger(ZoomId(View()->m_nZoom));
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

void CViewBench::Centre() {
    CDorvaneView& view = *View();
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CViewBench::Floors() {
    CAstroImage& image = Image();
    const std::vector<uint8_t>& display = image.m_displayPixels;
    std::vector<uint8_t> copy(display.size(), 1);
    SFigure copyFigure, remap;
    for (int i = 0; i < m_nRepeat; ++i) {
        const double cpu0 = CpuMs();
        const auto t0 = Clock::now();
        std::memcpy(copy.data(), display.data(), display.size());
        const auto t1 = Clock::now();
        const double cpu1 = CpuMs();
        copyFigure.Add(Ms(t0, t1), cpu1 - cpu0);
        image.UpdateDisplay();
        remap.Add(Ms(t1, Clock::now()), CpuMs() - cpu1);
    }
    // The view repaints from the remapped buffer before anything is timed.
    View()->viewport()->update();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    char text[96];
    std::snprintf(text, sizeof text, "floor: memcpy of the display buffer (%zu MB)", display.size() >> 20);
    PrintRow(text, copyFigure, 0);
    PrintRow("floor: UpdateDisplay (the remap)", remap, 0);
}

void CViewBench::Stretch() {
    Trigger(DorvaneIds::ID_VIEW_STRETCH);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    CStretchDlg* pDlg = m_app.m_pStretchDlg;
    if (pDlg == nullptr) {
        std::printf("no stretch dialog\n");
        return;
    }
    for (int nZoom : kZooms) {
        Trigger(ZoomId(nZoom));
        Centre();
        SFigure slider, typed;
        const uint32_t nMax = pDlg->m_nMax;
        for (int i = 0; i < m_nRepeat; ++i) {
            // One step right, one step left: the slider ends where it began.
            const auto action = i % 2 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd;
            slider.Add(TimeToPaint([&] { pDlg->m_sliderMax->triggerAction(action); }));
            pDlg->m_editMax->setText(QString::number(i % 2 ? nMax : nMax + 100));
            typed.Add(TimeToPaint([&] { pDlg->ApplyBoth(); }));
        }
        char text[64];
        std::snprintf(text, sizeof text, "stretch step, slider, at %d %%", nZoom);
        PrintRow(text, slider, 40);
        std::snprintf(text, sizeof text, "stretch step, typed value, at %d %%", nZoom);
        PrintRow(text, typed, 40);
    }
    pDlg->close();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void CViewBench::Zoom() {
    SFigure all;
    int worstFrom = 0, worstTo = 0;
    double worst = 0;
    for (int nFrom : kZooms) {
        for (int nTo : kZooms) {
            if (nFrom == nTo)
                continue;
            for (int i = 0; i < std::max(1, m_nRepeat / 3); ++i) {
                Trigger(ZoomId(nFrom));
                Centre();
                const double ms = TimeToPaint([&] { Trigger(ZoomId(nTo)); });
                all.Add(ms);
                if (ms > worst) {
                    worst = ms;
                    worstFrom = nFrom;
                    worstTo = nTo;
                }
            }
        }
    }
    char text[80];
    std::snprintf(text, sizeof text, "zoom change, all 42 (worst %d -> %d %%)", worstFrom, worstTo);
    PrintRow(text, all, 50);
}

void CViewBench::Scroll() {
    CDorvaneView& view = *View();
    for (int nZoom : kZooms) {
        Trigger(ZoomId(nZoom));
        Centre();
        SFigure page;
        for (int i = 0; i < m_nRepeat; ++i) {
            QScrollBar* pBar = i % 4 < 2 ? view.verticalScrollBar() : view.horizontalScrollBar();
            const auto action = i % 2 ? QAbstractSlider::SliderPageStepSub : QAbstractSlider::SliderPageStepAdd;
            page.Add(TimeToPaint([&] { pBar->triggerAction(action); }));
        }
        char text[64];
        std::snprintf(text, sizeof text, "scroll by a page at %d %%", nZoom);
        PrintRow(text, page, 16);
    }
}

void CViewBench::Repaint() {
    CDorvaneView& view = *View();
    for (int nZoom : kZooms) {
        Trigger(ZoomId(nZoom));
        Centre();
        SFigure full;
        for (int i = 0; i < m_nRepeat; ++i)
            full.Add(TimeToPaint([&] { view.viewport()->update(); }));
        char text[64];
        std::snprintf(text, sizeof text, "repaint of the whole viewport at %d %%", nZoom);
        PrintRow(text, full, 0);
    }
}

void CViewBench::Filter() {
    Trigger(DorvaneIds::ID_ZOOM_25);
    Centre();
    CChildFrameFilterTarget target(*Frame());
    CRemoveBloomingCommand command(m_app.Settings(), m_app.Messages(), m_app.m_shared);
    command.SetParentWidget(m_app.m_pMainFrame);
    command.SetRegionCleared([] { CDorvaneView::RepaintAllViews(); });
    const CMonoParams defaults;
    SFigure first, later, undo, redo;
    for (int i = 0; i < std::max(2, m_nRepeat / 2); ++i) {
        // Each run starts from the frame as opened: Undo brings it back.
        const double ms = TimeToPaint([&] { command.RunMono(defaults, target, {}); });
        (i == 0 ? first : later).Add(ms);
        undo.Add(TimeToPaint([&] { Trigger(DorvaneIds::ID_EDIT_UNDO); }));
        redo.Add(TimeToPaint([&] { Trigger(DorvaneIds::ID_EDIT_REDO); }));
        undo.Add(TimeToPaint([&] { Trigger(DorvaneIds::ID_EDIT_UNDO); }));
    }
    PrintRow("Remove Blooming, whole image, first run", first, 600);
    PrintRow("Remove Blooming, whole image, later runs", later, 600);
    PrintRow("Undo", undo, 150);
    PrintRow("Redo", redo, 150);
}

bool CViewBench::Run() {
    PrintHeader();
    SFigure open;
    for (int i = 0; i < std::max(2, m_nRepeat / 3); ++i)
        if (!Open(&open))
            return false;
    FitViewport();
    if (View()->viewport()->size() != kViewport)
        std::printf("viewport %d x %d\n", View()->viewport()->width(), View()->viewport()->height());
    Floors();
    PrintRow("open to first painted picture", open, 500);
    Stretch();
    Zoom();
    Scroll();
    Repaint();
    Filter();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    int nDepth = 32;
    int nRepeat = 9;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--depth") == 0 && i + 1 < argc)
            nDepth = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--quick") == 0)
            nRepeat = 3;
    }
    // DORVANE_BENCH_FRAME names a frame file to keep between runs (written
    // when missing); otherwise it goes to a temporary folder.
    QTemporaryDir dataDir;
    std::string path = dataDir.filePath(QStringLiteral("frame.fit")).toStdString();
    if (!qEnvironmentVariableIsEmpty("DORVANE_BENCH_FRAME"))
        path = qEnvironmentVariable("DORVANE_BENCH_FRAME").toStdString();
    if (!QFileInfo::exists(QString::fromStdString(path))) {
        std::printf("Writing a %d x %d synthetic frame...\n", kWidth, kHeight);
        std::fflush(stdout);
    }
    if (!QFileInfo::exists(QString::fromStdString(path)) && !WriteLargeBenchFrame(path)) {
        std::printf("could not write %s\n", path.c_str());
        return 1;
    }

    // On a virtual machine the host backs guest memory only when it is first
    // touched, which can make a fresh allocation ten times slower than on
    // real hardware, once. Touch and release what the run will need, so that
    // the figures show the program and not that.
    {
        std::vector<uint8_t> warm;
        CLargeBuffer::AssignZeroed(warm, std::size_t(2) << 30);
    }

    CDorvaneApp app(argc, argv);
    CCollectingMessageSink messages;
    app.SetMessageSink(&messages);
    app.installEventFilter(&g_paints);
    if (!app.InitInstance({QStringLiteral("--no-splash")}))
        return 1;
    app.m_pMainFrame->showNormal();
    app.m_pMainFrame->setGeometry(0, 0, kViewport.width() + 80, kViewport.height() + 160);
    app.m_shared.m_nDisplayBpp = nDepth;
    std::printf("%d x %d, 16 bits, viewport %d x %d, display depth %d\n", kWidth, kHeight, kViewport.width(),
                kViewport.height(), nDepth);
    CViewBench bench(app, path, nRepeat);
    const bool ok = bench.Run();
    for (const std::string& message : messages.m_messages)
        std::printf("message: %s\n", message.c_str());
    app.DocTemplate()->CloseAllDocuments();
    app.ExitInstance();
    return ok ? 0 : 1;
}
