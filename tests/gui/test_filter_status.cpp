// The filter status window: its lines and counts during a real filter run,
// the order in which the stage lines appear, the bar ending at 100, and the
// window itself (modeless, no close button, centred).
#include <QAbstractButton>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QtTest>
#include <vector>

#include "filter/CBloomFilter.h"
#include "filter/CFilterStatusDlg.h"
#include "support/CSharedState.h"

namespace {

// Records, for each revealed line, where the bar stood and which lines were
// showing at that moment.
class CRecordingStatusDlg : public CFilterStatusDlg {
public:
    void RevealLine(ELine line) override
    {
        CFilterStatusDlg::RevealLine(line);
        m_revealedAt.push_back(m_progress->value());
        m_visibleAfterOpen.push_back(isVisible());
    }
    void Close() override
    {
        m_closeCount++;
        CFilterStatusDlg::Close();
    }
    std::vector<int> m_revealedAt;
    std::vector<bool> m_visibleAfterOpen;
    int m_closeCount = 0;
};

// width x height background at 1000 with one bloom: column bx, rows y0..y1
// at 65000.
std::vector<uint32_t> PlaneWithBloom(int width, int height, int bx, int y0, int y1)
{
    std::vector<uint32_t> plane(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            plane[y * width + x] = 1000 + static_cast<uint32_t>((x * 7 + y * 13) % 50);
    for (int y = y0; y <= y1; ++y)
        plane[y * width + bx] = 65000;
    return plane;
}

bool Shown(const QLabel* line)
{
    return !line->isHidden();
}

}  // namespace

class TestFilterStatus : public QObject {
    Q_OBJECT

private slots:
    void windowBeforeTheRun();
    void monochromeRunShowsCountsLinesAndEndsAt100();
    void colourSuffixAndNothingDetected();
    void emptyRectangleLeavesCountsEmpty();
};

void TestFilterStatus::windowBeforeTheRun()
{
    CFilterStatusDlg dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Anti-Blooming Filter Status:"));
    QVERIFY(!dlg.isModal());
    QVERIFY(!(dlg.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(dlg.windowFlags() & Qt::WindowSystemMenuHint));
    QVERIFY(dlg.findChildren<QAbstractButton*>().isEmpty());
    for (QLabel* hidden : {dlg.m_lengthLine, dlg.m_removingLine, dlg.m_blendingLine, dlg.m_completeLine})
        QVERIFY(!Shown(hidden));
    QCOMPARE(dlg.m_completeLine->text(), QStringLiteral("Processing Complete!"));

    dlg.Open("");
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.m_searchLine->text(), QStringLiteral("Searching for bloom pixels."));
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    // Centred up to the window frame's margins.
    const QPoint offset = dlg.geometry().center() - screenCentre;
    QVERIFY2(std::abs(offset.x()) <= 8 && std::abs(offset.y()) <= 8,
             qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    dlg.Close();
    QVERIFY(!dlg.isVisible());
}

void TestFilterStatus::monochromeRunShowsCountsLinesAndEndsAt100()
{
    const int width = 40, height = 30;
    // A 12-pixel bloom in column 10, a 3-pixel run (too short) in column 20,
    // and a 6-pixel bloom in the last column. Each count line shows the count
    // before the last column: the detection's leaves out its 6 pixels, the
    // length check starts from all 21 and has taken off the short run.
    std::vector<uint32_t> plane = PlaneWithBloom(width, height, 10, 5, 16);
    for (int y = 2; y <= 4; ++y)
        plane[y * width + 20] = 65000;
    for (int y = 20; y <= 25; ++y)
        plane[y * width + width - 1] = 65000;

    CRecordingStatusDlg dlg;
    std::vector<int> positions;
    connect(dlg.m_progress, &QProgressBar::valueChanged, [&](int v) { positions.push_back(v); });
    CBloomFilter filter(plane.data(), width, height, 60000, 5, 2);
    CSharedState state;
    filter.Run("", state, &dlg);

    QCOMPARE(dlg.m_searchLine->text(), QStringLiteral("Searching for bloom pixels."));
    QCOMPARE(dlg.m_detectedLine->text(), QStringLiteral("15 bloom pixels detected."));
    QCOMPARE(dlg.m_lengthCountLine->text(), QStringLiteral("18 bloom pixels after length check."));
    for (QLabel* line : {dlg.m_lengthLine, dlg.m_removingLine, dlg.m_blendingLine, dlg.m_completeLine})
        QVERIFY(Shown(line));
    QCOMPARE(dlg.m_progress->value(), 100);
    QVERIFY(!positions.empty());
    QCOMPARE(positions.back(), 100);
    for (std::size_t i = 1; i < positions.size(); ++i)
        QVERIFY(positions[i] > positions[i - 1]);
    // Each stage line appears as its stage begins: after detection (bar
    // below 14), after the merge (below 70), after the replacement values
    // (below 86), and last at 100.
    QCOMPARE(dlg.m_revealedAt.size(), std::size_t(4));
    QVERIFY(dlg.m_revealedAt[0] < 14);
    QVERIFY(dlg.m_revealedAt[1] >= 56 && dlg.m_revealedAt[1] < 70);
    QVERIFY(dlg.m_revealedAt[2] >= 70 && dlg.m_revealedAt[2] < 86);
    QCOMPARE(dlg.m_revealedAt[3], 100);
    for (bool visible : dlg.m_visibleAfterOpen)
        QVERIFY(visible);
    // Closed at the end of the run.
    QCOMPARE(dlg.m_closeCount, 1);
    QVERIFY(!dlg.isVisible());
}

void TestFilterStatus::colourSuffixAndNothingDetected()
{
    const int width = 16, height = 12;
    std::vector<uint32_t> plane = PlaneWithBloom(width, height, 3, 0, 0);
    CRecordingStatusDlg dlg;
    CBloomFilter filter(plane.data(), width, height, 65001, 5, 2);
    CSharedState state;
    filter.Run(" in Green plane", state, &dlg);
    QCOMPARE(dlg.m_searchLine->text(), QStringLiteral("Searching for bloom pixels in Green plane."));
    QCOMPARE(dlg.m_detectedLine->text(), QStringLiteral("0 bloom pixels detected."));
    QCOMPARE(dlg.m_lengthCountLine->text(), QStringLiteral("0 bloom pixels after length check."));
    for (QLabel* line : {dlg.m_lengthLine, dlg.m_removingLine, dlg.m_blendingLine, dlg.m_completeLine})
        QVERIFY(Shown(line));
    QCOMPARE(dlg.m_progress->value(), 100);
}

void TestFilterStatus::emptyRectangleLeavesCountsEmpty()
{
    const int width = 16, height = 12;
    std::vector<uint32_t> plane = PlaneWithBloom(width, height, 3, 1, 10);
    const std::vector<uint32_t> before = plane;
    CRecordingStatusDlg dlg;
    CBloomFilter filter(plane.data(), width, height, 60000, 5, 2);
    CSharedState state;
    state.m_bRegionSet = true;
    state.m_rcRegionImage = {5, 2, 5, 9};  // no columns
    filter.Run(" in Blue plane", state, &dlg);
    QVERIFY(dlg.m_detectedLine->text().isEmpty());
    QVERIFY(dlg.m_lengthCountLine->text().isEmpty());
    QCOMPARE(dlg.m_progress->value(), 100);
    QVERIFY(Shown(dlg.m_completeLine));
    QVERIFY(plane == before);
}

QTEST_MAIN(TestFilterStatus)
#include "test_filter_status.moc"
