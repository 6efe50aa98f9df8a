// The Remove Blooming command: what it stores, snapshots, filters, flags and
// clears, through the real dialogs and the real filter; and that its result
// equals what the command line writes for the same file and parameters.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

#include "CViewTestSupport.h"
#include "filter/CBloomFilter.h"
#include "filter/CColorParamsDlg.h"
#include "filter/CMonoParamsDlg.h"
#include "filter/CRemoveBloomingCommand.h"
#include "filter/IFilterTarget.h"
#include "filter/IFilterStatus.h"
#include "filter/MirrorPlane.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"
#include "support/CSharedState.h"

// The command line's file job, when this program is linked with it.
#if __has_include("CBloomFileJob.h")
#include "CBloomFileJob.h"
#define DORVANE_HAVE_CLI_JOB 1
#endif

namespace {

// Background near 1000 with a little texture, so that replacement values are
// not all equal.
std::vector<uint32_t> Background(int width, int height, int seed)
{
    std::vector<uint32_t> plane(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            plane[y * width + x] = 1000 + static_cast<uint32_t>((x * 7 + y * 13 + seed * 31) % 97);
    return plane;
}

void AddBloom(std::vector<uint32_t>& plane, int width, int x, int y0, int y1, uint32_t value = 65000)
{
    for (int y = y0; y <= y1; ++y)
        plane[y * width + x] = value;
}

// An open image in a window, as the command sees it.
class CTestTarget : public IFilterTarget {
public:
    CTestTarget(CSharedState& shared, IMessageSink& messages, int width, int height, bool color,
                int seed)
        : m_image(shared, messages)
    {
        m_image.m_width = width;
        m_image.m_height = height;
        m_image.m_isColor = color;
        m_image.m_maxValue = 65535;
        m_image.m_bitsPerPixel = 16;
        m_image.m_stretchLow = 900;
        m_image.m_stretchHigh = 2000;
        m_image.m_red = Background(width, height, seed);
        AddBloom(m_image.m_red, width, width / 4, 3, height - 4);
        if (color) {
            m_image.m_green = Background(width, height, seed + 1);
            AddBloom(m_image.m_green, width, width / 2, 5, height - 6, 62000);
            m_image.m_blue = Background(width, height, seed + 2);
            AddBloom(m_image.m_blue, width, width / 2 + 3, 4, height - 3, 61000);
        }
        m_image.UpdateDisplay();
        m_image.m_displayChanged = false;
    }

    CAstroImage& Image() override { return m_image; }
    void SetUndoState(bool canUndo, bool canRedo) override
    {
        m_bCanUndo = canUndo;
        m_bCanRedo = canRedo;
    }
    void SetModified() override { m_bModified = true; }
    void Repaint() override
    {
        m_repaints++;
        m_displayChangedAtRepaint = m_image.m_displayChanged;
    }

    CTestImage m_image;  // held in memory only
    bool m_bCanUndo = false;
    bool m_bCanRedo = true;
    bool m_bModified = false;
    int m_repaints = 0;
    bool m_displayChangedAtRepaint = false;
};

// The plane after one direct engine run, optionally mirrored around it with
// the rectangle mirrored too.
std::vector<uint32_t> Filtered(std::vector<uint32_t> plane, int width, int height, uint32_t intensity,
                               int length, int filterWidth, bool mirror, const CSharedState& state)
{
    CSharedState local = state;
    if (mirror) {
        MirrorPlane(plane, width, height);
        if (local.m_bRegionSet) {
            const CRegion r = local.m_rcRegionImage;
            local.m_rcRegionImage = {width - r.right, r.top, width - r.left, r.bottom};
        }
    }
    CBloomFilter filter(plane.data(), width, height, intensity, length, filterWidth);
    filter.Run("", local, nullptr);
    if (mirror)
        MirrorPlane(plane, width, height);
    return plane;
}

// Answers the next modal dialog once it shows.
void WhenDialogShows(std::function<void(QDialog&)> act)
{
    QTimer::singleShot(0, [act]() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        act(*dialog);
    });
}

}  // namespace

class TestFilterCommand : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cancelChangesNothing();
    void monochromeRunThroughTheDialog();
    void colourImageWithEveryPlaneCleared();
    void colourPlanesUseTheirOwnParameters();
    void processAllFiltersEveryOtherImage();
    void mirrorRestoresOrientation();
    void regionRestrictsTheRunAndIsCleared();
    void regionIsClippedToEachImageAndMirroredWithThePlane();
    void resultEqualsTheCommandLine();

private:
    CSharedState m_shared;
    CMemorySettings m_settings;
    CCollectingMessageSink m_sink;
    std::unique_ptr<CRemoveBloomingCommand> m_pCommand;
    int m_regionClearedCalls = 0;
    int m_statusWindows = 0;
};

void TestFilterCommand::init()
{
    m_shared = CSharedState();
    m_shared.m_nDisplayBpp = 32;
    m_settings.m_values.clear();
    m_sink.Clear();
    m_regionClearedCalls = 0;
    m_statusWindows = 0;
    m_pCommand = std::make_unique<CRemoveBloomingCommand>(m_settings, m_sink, m_shared);
    m_pCommand->SetRegionCleared([this]() { m_regionClearedCalls++; });
}

void TestFilterCommand::cancelChangesNothing()
{
    for (const bool color : {false, true}) {
        init();
        CTestTarget target(m_shared, m_sink, 40, 30, color, 1);
        m_shared.m_bRegionSet = true;
        m_shared.m_rcRegionImage = {2, 3, 20, 25};
        const std::vector<uint32_t> red = target.m_image.m_red;
        WhenDialogShows([](QDialog& dialog) {
            // Values typed and then abandoned.
            for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
                edit->setText(QStringLiteral("7"));
            dialog.reject();
        });
        QVERIFY(!m_pCommand->Execute(target, {}));
        QVERIFY(target.m_image.m_red == red);
        QVERIFY(target.m_image.m_undoRed.empty());
        QVERIFY(m_settings.m_values.empty());
        QVERIFY(m_shared.m_bRegionSet);
        QCOMPARE(m_shared.m_rcRegionImage, (CRegion{2, 3, 20, 25}));
        QVERIFY(target.m_bCanRedo);
        QVERIFY(!target.m_bCanUndo);
        QVERIFY(!target.m_bModified);
        QCOMPARE(target.m_repaints, 0);
    }
}

void TestFilterCommand::monochromeRunThroughTheDialog()
{
    CTestTarget target(m_shared, m_sink, 48, 40, false, 2);
    const std::vector<uint32_t> before = target.m_image.m_red;
    const std::vector<uint32_t> expected = Filtered(before, 48, 40, 50000, 4, 1, false, m_shared);
    QVERIFY(expected != before);
    WhenDialogShows([](QDialog& dialog) {
        auto& mono = static_cast<CMonoParamsDlg&>(dialog);
        mono.m_pIntensityEdit->setText(QStringLiteral("50000"));
        mono.m_pLengthEdit->setText(QStringLiteral("4"));
        mono.m_pWidthEdit->setText(QStringLiteral("1"));
        QTest::mouseClick(mono.m_pOkButton, Qt::LeftButton);
    });
    QVERIFY(m_pCommand->Execute(target, {}));
    QVERIFY(target.m_image.m_red == expected);
    QVERIFY(target.m_image.m_undoRed == before);
    QVERIFY(target.m_bCanUndo);
    QVERIFY(!target.m_bCanRedo);  // disabled even though it was enabled before
    QVERIFY(target.m_bModified);
    QCOMPARE(target.m_repaints, 1);
    QVERIFY(target.m_displayChangedAtRepaint);
    QCOMPARE(m_settings.GetInt("Settings", "Mono Intensity", 0), 50000);
    QCOMPARE(m_settings.GetInt("Settings", "Mono Length", 0), 4);
    QCOMPARE(m_settings.GetInt("Settings", "Mono Width", 0), 1);
    QCOMPARE(m_settings.GetInt("Settings", "Mirror", -1), 0);
    QCOMPARE(m_settings.m_values.size(), std::size_t(4));
    QCOMPARE(m_regionClearedCalls, 0);  // no region was set
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(m_sink.m_messages.empty());

    // The next dialog opens with the values just stored; Undo then Redo
    // bring back each state.
    WhenDialogShows([](QDialog& dialog) {
        auto& mono = static_cast<CMonoParamsDlg&>(dialog);
        QCOMPARE(mono.m_pIntensityEdit->text(), QStringLiteral("50000"));
        dialog.reject();
    });
    QVERIFY(!m_pCommand->Execute(target, {}));
    target.m_image.Undo();
    QVERIFY(target.m_image.m_red == before);
    target.m_image.Redo();
    QVERIFY(target.m_image.m_red == expected);
}

void TestFilterCommand::colourImageWithEveryPlaneCleared()
{
    CTestTarget target(m_shared, m_sink, 40, 30, true, 3);
    m_shared.m_bRegionSet = true;
    m_shared.m_rcRegionImage = {1, 1, 30, 25};
    const std::vector<uint32_t> red = target.m_image.m_red;
    const std::vector<uint32_t> green = target.m_image.m_green;
    const std::vector<uint32_t> blue = target.m_image.m_blue;
    m_pCommand->SetStatusFactory([this]() {
        m_statusWindows++;
        return std::unique_ptr<IFilterStatus>();
    });
    WhenDialogShows([](QDialog& dialog) {
        auto& color = static_cast<CColorParamsDlg&>(dialog);
        for (QCheckBox* box : color.m_pPlaneBoxes)
            QTest::mouseClick(box, Qt::LeftButton);
        color.m_pEdits[1][2]->setText(QStringLiteral("3"));  // disabled, still stored
        QTest::mouseClick(color.m_pOkButton, Qt::LeftButton);
    });
    QVERIFY(m_pCommand->Execute(target, {}));
    QCOMPARE(m_statusWindows, 0);
    QVERIFY(target.m_image.m_red == red);
    QVERIFY(target.m_image.m_green == green);
    QVERIFY(target.m_image.m_blue == blue);
    QVERIFY(target.m_image.m_undoRed == red);
    QVERIFY(target.m_image.m_undoGreen == green);
    QVERIFY(target.m_image.m_undoBlue == blue);
    QVERIFY(target.m_bCanUndo);
    QVERIFY(!target.m_bCanRedo);
    QVERIFY(target.m_bModified);
    QVERIFY(!m_shared.m_bRegionSet);
    QCOMPARE(m_regionClearedCalls, 1);
    QCOMPARE(target.m_repaints, 1);
    QCOMPARE(m_settings.m_values.size(), std::size_t(10));
    QCOMPARE(m_settings.GetInt("Settings", "Green Width", 0), 3);
    QCOMPARE(m_settings.GetInt("Settings", "Red Intensity", 0), 60000);
}

void TestFilterCommand::colourPlanesUseTheirOwnParameters()
{
    CTestTarget target(m_shared, m_sink, 40, 30, true, 4);
    CColorParams params;
    params.m_planes[0] = {65001, 5, 2};  // above the red bloom: unchanged
    params.m_planes[1] = {61000, 5, 1};
    params.m_planes[2] = {60000, 3, 2};
    params.m_bPlaneOn[2] = false;
    const std::vector<uint32_t> red = target.m_image.m_red;
    const std::vector<uint32_t> green = Filtered(target.m_image.m_green, 40, 30, 61000, 5, 1, false, m_shared);
    const std::vector<uint32_t> blue = target.m_image.m_blue;
    QVERIFY(green != target.m_image.m_green);
    std::vector<std::string> suffixes;
    struct CSuffixRecorder : IFilterStatus {
        std::vector<std::string>& out;
        explicit CSuffixRecorder(std::vector<std::string>& o) : out(o) {}
        void Open(const std::string& suffix) override { out.push_back(suffix); }
        void SetProgress(int) override {}
        void ShowDetectedCount(int) override {}
        void ShowLengthCheckCount(int) override {}
        void RevealLine(ELine) override {}
        void Close() override {}
    };
    m_pCommand->SetStatusFactory([&]() { return std::make_unique<CSuffixRecorder>(suffixes); });
    m_pCommand->RunColor(params, target);
    QVERIFY(target.m_image.m_red == red);
    QVERIFY(target.m_image.m_green == green);
    QVERIFY(target.m_image.m_blue == blue);
    QCOMPARE(suffixes, (std::vector<std::string>{" in Red plane", " in Green plane"}));
}

void TestFilterCommand::processAllFiltersEveryOtherImage()
{
    CTestTarget active(m_shared, m_sink, 40, 30, false, 5);
    CTestTarget other(m_shared, m_sink, 36, 28, false, 6);
    CTestTarget colourOther(m_shared, m_sink, 30, 26, true, 7);
    const auto expect = [this](const CTestTarget& t, const std::vector<uint32_t>& plane) {
        return Filtered(plane, t.m_image.m_width, t.m_image.m_height, 60000, 5, 2, false, m_shared);
    };
    // A colour image has all three planes filtered, with the same values.
    const std::vector<std::vector<uint32_t>*> planes = {&active.m_image.m_red, &other.m_image.m_red,
                                                        &colourOther.m_image.m_red, &colourOther.m_image.m_green,
                                                        &colourOther.m_image.m_blue};
    const std::vector<const CTestTarget*> owners = {&active, &other, &colourOther, &colourOther, &colourOther};
    std::vector<std::vector<uint32_t>> expected;
    for (std::size_t i = 0; i < planes.size(); ++i) {
        expected.push_back(expect(*owners[i], *planes[i]));
        QVERIFY(expected.back() != *planes[i]);
    }
    m_pCommand->SetStatusFactory([this]() {
        m_statusWindows++;
        return std::unique_ptr<IFilterStatus>();
    });
    WhenDialogShows([](QDialog& dialog) {
        auto& mono = static_cast<CMonoParamsDlg&>(dialog);
        QTest::mouseClick(mono.m_pProcessAllBox, Qt::LeftButton);
        QTest::mouseClick(mono.m_pOkButton, Qt::LeftButton);
    });
    // The active image may appear in the list of open images; it is filtered once.
    QVERIFY(m_pCommand->Execute(active, {&other, &active, &colourOther}));
    QCOMPARE(m_statusWindows, 5);
    for (std::size_t i = 0; i < planes.size(); ++i)
        QVERIFY2(*planes[i] == expected[i], qPrintable(QString::number(i)));
    for (CTestTarget* t : {&active, &other, &colourOther}) {
        QVERIFY(t->m_bCanUndo);
        QVERIFY(!t->m_bCanRedo);
        QVERIFY(t->m_bModified);
        QCOMPARE(t->m_repaints, 1);
        QVERIFY(!t->m_image.m_undoRed.empty());
    }
    QVERIFY(!colourOther.m_image.m_undoBlue.empty());
    // "Process all open images." is not stored.
    QCOMPARE(m_settings.m_values.size(), std::size_t(4));
}

void TestFilterCommand::mirrorRestoresOrientation()
{
    // A plane the filter cannot change comes back exactly as it was.
    CTestTarget quiet(m_shared, m_sink, 41, 30, false, 9);
    const std::vector<uint32_t> before = quiet.m_image.m_red;
    CMonoParams params;
    params.m_plane.m_nIntensity = 65001;
    params.m_bMirror = true;
    m_pCommand->RunMono(params, quiet, {});
    QVERIFY(quiet.m_image.m_red == before);
    QCOMPARE(m_settings.GetInt("Settings", "Mirror", 0), 1);

    // A bloom with different sides: the mirrored run takes its values from
    // the right and ends in the original orientation, unlike the plain run.
    CColorParams colour;
    colour.m_bMirror = true;
    CTestTarget target(m_shared, m_sink, 41, 30, true, 10);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 41; ++x)
            target.m_image.m_green[y * 41 + x] = x < 20 ? 500 : 3000;
    AddBloom(target.m_image.m_green, 41, 20, 4, 25);
    const std::vector<uint32_t> plain = Filtered(target.m_image.m_green, 41, 30, 60000, 5, 2, false, m_shared);
    const std::vector<uint32_t> mirrored = Filtered(target.m_image.m_green, 41, 30, 60000, 5, 2, true, m_shared);
    QVERIFY(plain != mirrored);
    QCOMPARE(plain[10 * 41 + 20], 500u);
    QCOMPARE(mirrored[10 * 41 + 20], 3000u);
    m_pCommand->RunColor(colour, target);
    QVERIFY(target.m_image.m_green == mirrored);
}

void TestFilterCommand::regionRestrictsTheRunAndIsCleared()
{
    CTestTarget target(m_shared, m_sink, 60, 40, false, 11);
    const int width = 60;
    AddBloom(target.m_image.m_red, width, 40, 5, 30);  // outside the region
    m_shared.m_bRegionSet = true;
    m_shared.m_rcRegionImage = {5, 2, 25, 38};  // holds the bloom at column 15
    const std::vector<uint32_t> before = target.m_image.m_red;
    CMonoParams params;
    m_pCommand->RunMono(params, target, {});
    QVERIFY(!m_shared.m_bRegionSet);
    QCOMPARE(m_regionClearedCalls, 1);
    const std::vector<uint32_t>& after = target.m_image.m_red;
    bool changedInside = false;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool inside = x >= 5 && x < 25 && y >= 2 && y < 38;
            const bool columnRight = x == 25 && y >= 2 && y < 38;
            if (!inside && !columnRight)
                QVERIFY2(after[y * width + x] == before[y * width + x], qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            if (inside && after[y * width + x] != before[y * width + x])
                changedInside = true;
        }
    }
    QVERIFY(changedInside);
    QCOMPARE(after[10 * width + 40], 65000u);  // the bloom outside stays
    QVERIFY(after[10 * width + 15] < 60000u);

    // The next run, with no region, takes the whole image.
    m_pCommand->RunMono(params, target, {});
    QVERIFY(target.m_image.m_red[10 * width + 40] < 60000u);
    QCOMPARE(m_regionClearedCalls, 1);
}

void TestFilterCommand::regionIsClippedToEachImageAndMirroredWithThePlane()
{
    // The region reaches far past the second, smaller image.
    CTestTarget big(m_shared, m_sink, 80, 50, false, 12);
    CTestTarget small(m_shared, m_sink, 30, 20, false, 13);
    m_shared.m_bRegionSet = true;
    m_shared.m_rcRegionImage = {10, 4, 200, 300};
    CSharedState clippedBig = m_shared;
    clippedBig.m_rcRegionImage = {10, 4, 80, 50};
    CSharedState clippedSmall = m_shared;
    clippedSmall.m_rcRegionImage = {10, 4, 30, 20};
    const std::vector<uint32_t> bigExpected = Filtered(big.m_image.m_red, 80, 50, 60000, 5, 2, true, clippedBig);
    const std::vector<uint32_t> smallExpected = Filtered(small.m_image.m_red, 30, 20, 60000, 5, 2, true, clippedSmall);
    CMonoParams params;
    params.m_bMirror = true;
    params.m_bProcessAll = true;
    m_pCommand->RunMono(params, big, {&small});
    QVERIFY(big.m_image.m_red == bigExpected);
    QVERIFY(small.m_image.m_red == smallExpected);

    // With Mirror the filter still acts on the selected columns: a bloom
    // left of the region stays, one inside goes.
    CTestTarget target(m_shared, m_sink, 50, 30, false, 14);
    AddBloom(target.m_image.m_red, 50, 40, 3, 26);
    m_shared.m_bRegionSet = true;
    m_shared.m_rcRegionImage = {30, 0, 50, 30};
    params.m_bProcessAll = false;
    m_pCommand->RunMono(params, target, {});
    QCOMPARE(target.m_image.m_red[10 * 50 + 12], 65000u);  // the bloom at width / 4
    QVERIFY(target.m_image.m_red[10 * 50 + 40] < 60000u);
}

void TestFilterCommand::resultEqualsTheCommandLine()
{
#ifndef DORVANE_HAVE_CLI_JOB
    QSKIP("built without the command line's library");
#else
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string gui = dir.filePath(QStringLiteral("gui.fit")).toStdString();
    const std::string cli = dir.filePath(QStringLiteral("cli.fit")).toStdString();
    struct CDocTarget : IFilterTarget {
        CDorvaneDoc& doc;
        explicit CDocTarget(CDorvaneDoc& d) : doc(d) {}
        CAstroImage& Image() override { return *doc.m_pImage; }
        void SetUndoState(bool, bool) override {}
        void SetModified() override {}
        void Repaint() override {}
    };
    struct Case {
        const char* sample;
        bool mirror;
        bool region;
    };
    const CRegion region{100, 50, 5000, 5000};  // reaches past both samples
    for (const Case c : {Case{"m42-synthetic.fit", false, false}, Case{"m42-synthetic.fit", true, true},
                         Case{"m42-colour.fit", true, true}}) {
        const std::string sample = std::string(DORVANE_SAMPLES_DIR "/") + c.sample;
        init();
        CDorvaneDoc doc(m_shared, m_sink, m_settings);
        QVERIFY2(doc.OnOpenDocument(sample), c.sample);
        CDocTarget target(doc);
        m_shared.m_bRegionSet = c.region;
        m_shared.m_rcRegionImage = region;

        CBloomOptions options;
        options.mirror = c.mirror;
        options.hasRegion = c.region;
        options.region = region;
        if (!doc.m_pImage->m_isColor) {
            CMonoParams params;
            params.m_plane = {30000, 8, 3};
            params.m_bMirror = c.mirror;
            m_pCommand->RunMono(params, target, {});
            options.mono = {30000, 8, 3};
        } else {
            CColorParams params;
            params.m_planes[0] = {30000, 8, 3};
            params.m_planes[1] = {20000, 4, 1};
            params.m_planes[2] = {25000, 6, 5};
            params.m_bPlaneOn[1] = false;
            params.m_bMirror = c.mirror;
            m_pCommand->RunColor(params, target);
            options.color = {CPlaneParameters{30000, 8, 3}, CPlaneParameters{20000, 4, 1},
                             CPlaneParameters{25000, 6, 5}};
            options.planes = {true, false, true};
        }
        QVERIFY(doc.OnSaveDocument(gui));
        CBloomFileJob job(options, 1);
        const CBloomFileJob::Result result = job.Process(sample, cli, nullptr);
        QVERIFY(result.ok);
        QVERIFY(result.changed);
        QFile a(QString::fromStdString(gui)), b(QString::fromStdString(cli));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QVERIFY2(a.readAll() == b.readAll(), c.sample);
    }
#endif
}

QTEST_MAIN(TestFilterCommand)
#include "test_filter_command.moc"
