// Remove Blooming from the desktop program's side: the command (what it
// stores, snapshots, filters, flags and clears, through the real dialogs
// and the real filter), the parameter dialogs' validation, and the status
// window during a run.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "GuiTestSupport.h"
#include "filter/CBloomFilter.h"
#include "filter/CColorParamsDlg.h"
#include "filter/CFilterStatusDlg.h"
#include "filter/CMonoParamsDlg.h"
#include "filter/CRemoveBloomingCommand.h"
#include "filter/IFilterStatus.h"
#include "filter/IFilterTarget.h"
#include "filter/MirrorPlane.h"
#include "support/CSharedState.h"

namespace {

// Background near 1000 with a little texture, so that replacement values
// are not all equal.
std::vector<uint32_t> Background(int width, int height, int seed) {
    std::vector<uint32_t> plane(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            plane[y * width + x] = 1000 + static_cast<uint32_t>((x * 7 + y * 13 + seed * 31) % 97);
    return plane;
}

void AddBloom(std::vector<uint32_t>& plane, int width, int x, int y0, int y1, uint32_t value = 65000) {
    for (int y = y0; y <= y1; ++y)
        plane[y * width + x] = value;
}

// An open image in a window, as the command sees it.
class CTestTarget : public IFilterTarget {
public:
    CTestTarget(CSharedState& shared, IMessageSink& messages, int width, int height, bool color, int seed)
        : m_image(shared, messages) {
        m_image.m_width = width;
        m_image.m_height = height;
        m_image.m_isColor = color;
        m_image.m_maxValue = 65535;
        m_image.m_red = Background(width, height, seed);
        AddBloom(m_image.m_red, width, width / 4, 3, height - 4);
        if (color) {
            m_image.m_green = Background(width, height, seed + 1);
            AddBloom(m_image.m_green, width, width / 2, 5, height - 6, 62000);
            m_image.m_blue = Background(width, height, seed + 2);
            AddBloom(m_image.m_blue, width, width / 2 + 3, 4, height - 3, 61000);
        }
    }
    CAstroImage& Image() override { return m_image; }
    void SetUndoState(bool canUndo, bool canRedo) override {
        m_bCanUndo = canUndo;
        m_bCanRedo = canRedo;
    }
    void SetModified() override { m_bModified = true; }
    void Repaint() override { m_repaints++; }
    // Undo on, Redo off, modified, repainted once.
    bool AfterOneRun() const { return m_bCanUndo && !m_bCanRedo && m_bModified && m_repaints == 1; }

    CTestImage m_image;
    bool m_bCanUndo = false;
    bool m_bCanRedo = true;
    bool m_bModified = false;
    int m_repaints = 0;
};

// The plane after one direct engine run, optionally mirrored around it with
// the rectangle mirrored too.
std::vector<uint32_t> Filtered(std::vector<uint32_t> plane, int width, int height, uint32_t intensity, int length,
                               int filterWidth, bool mirror, const CSharedState& state) {
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

}  // namespace

class TestFilter : public QObject {
    Q_OBJECT

    CSharedState m_shared;
    CMemorySettings m_settings;
    CCollectingMessageSink m_sink;
    std::unique_ptr<CRemoveBloomingCommand> m_pCommand;
    int m_regionClearedCalls = 0;

    QString Last() const { return QString::fromStdString(m_sink.m_messages.back()); }
    // Clicks OK and tells whether the dialog refused, with one new message.
    bool Refused(QDialog& dlg, QPushButton* pOk) {
        const std::size_t before = m_sink.m_messages.size();
        QTest::mouseClick(pOk, Qt::LeftButton);
        return dlg.isVisible() && m_sink.m_messages.size() == before + 1;
    }

private slots:
    void init() {
        m_shared = CSharedState();
        m_shared.m_nDisplayBpp = 32;
        m_settings.m_values.clear();
        m_sink.Clear();
        m_regionClearedCalls = 0;
        m_pCommand = std::make_unique<CRemoveBloomingCommand>(m_settings, m_sink, m_shared);
        m_pCommand->SetRegionCleared([this]() { m_regionClearedCalls++; });
        m_pCommand->SetStatusFactory([] { return std::unique_ptr<IFilterStatus>(); });
    }

    // Cancelled, nothing changes; accepted, the plane is filtered with the
    // values typed, which are stored; Undo on and Redo off.
    void monochromeRunThroughTheDialog() {
        CTestTarget target(m_shared, m_sink, 48, 40, false, 2);
        const std::vector<uint32_t> before = target.m_image.m_red;
        WhenDialogShows<QDialog>([](QDialog& dialog) {
            for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
                edit->setText(QStringLiteral("7"));  // typed, then abandoned
            dialog.reject();
        });
        QVERIFY(!m_pCommand->Execute(target, {}));
        QVERIFY(target.m_image.m_red == before && target.m_image.m_undoRed.empty() && m_settings.m_values.empty());
        QVERIFY(target.m_bCanRedo && !target.m_bCanUndo && !target.m_bModified && target.m_repaints == 0);
        const std::vector<uint32_t> expected = Filtered(before, 48, 40, 50000, 4, 1, false, m_shared);
        QVERIFY(expected != before);
        WhenDialogShows<QDialog>([](QDialog& dialog) {
            auto& mono = static_cast<CMonoParamsDlg&>(dialog);
            mono.m_pIntensityEdit->setText(QStringLiteral("50000"));
            mono.m_pLengthEdit->setText(QStringLiteral("4"));
            mono.m_pWidthEdit->setText(QStringLiteral("1"));
            QTest::mouseClick(mono.m_pOkButton, Qt::LeftButton);
        });
        QVERIFY(m_pCommand->Execute(target, {}));
        QVERIFY(target.m_image.m_red == expected);
        QVERIFY(target.m_image.m_undoRed == before);
        QVERIFY(target.AfterOneRun());  // Redo off even though it was on before
        for (auto [key, value] : {std::pair{"Mono Intensity", 50000}, {"Mono Length", 4}, {"Mono Width", 1}, {"Mirror", 0}})
            QCOMPARE(m_settings.GetInt("Settings", key, -1), value);
        QCOMPARE(m_settings.m_values.size(), std::size_t(4));
        QCOMPARE(m_regionClearedCalls, 0);  // no region was set
        QVERIFY(QApplication::overrideCursor() == nullptr && m_sink.m_messages.empty());
    }

    // Each plane with its own parameters through the dialog, once it takes
    // them; an unticked plane is left alone but its values are stored; the
    // run clears the region.
    void colourPlanes() {
        CTestTarget target(m_shared, m_sink, 40, 30, true, 4);
        m_shared.m_bRegionSet = true;
        m_shared.m_rcRegionImage = {0, 0, 40, 30};
        const std::vector<uint32_t> red = target.m_image.m_red, blue = target.m_image.m_blue;
        const std::vector<uint32_t> green = Filtered(target.m_image.m_green, 40, 30, 61000, 5, 1, false, m_shared);
        QVERIFY(green != target.m_image.m_green);
        WhenDialogShows<QDialog>([this](QDialog& dialog) {
            auto& color = static_cast<CColorParamsDlg&>(dialog);
            color.m_pEdits[0][0]->setText(QStringLiteral("65001"));  // above the red bloom: unchanged
            color.m_pEdits[1][0]->setText(QStringLiteral("61000"));
            QTest::mouseClick(color.m_pPlaneBoxes[2], Qt::LeftButton);
            for (int plane = 0; plane < 3; ++plane)
                for (QLineEdit* edit : color.m_pEdits[plane])
                    QCOMPARE(edit->isEnabled(), plane != 2);
            color.m_pEdits[2][2]->setText(QStringLiteral("3"));  // disabled, still stored
            // Every Intensity first, then every Length, then every Width,
            // the unticked plane's too; one message at a time.
            const struct { QLineEdit* edit; const char *bad, *good; uint32_t max; } order[] = {
                {color.m_pEdits[2][0], "0", "60000", 1000000}, {color.m_pEdits[0][1], "10001", "5", 10000},
                {color.m_pEdits[1][2], "1001", "1", 1000}};
            for (const auto& o : order)
                o.edit->setText(QString::fromLatin1(o.bad));
            for (const auto& o : order) {
                QVERIFY(Refused(color, color.m_pOkButton));
                QCOMPARE(Last(), QStringLiteral("Please enter an integer between 1 and %1.").arg(o.max));
                if (o.edit->isEnabled())
                    QCOMPARE(color.focusWidget(), o.edit);
                o.edit->setText(QString::fromLatin1(o.good));
            }
            QTest::mouseClick(color.m_pOkButton, Qt::LeftButton);
        });
        QVERIFY(m_pCommand->Execute(target, {}));
        QVERIFY(target.m_image.m_red == red && target.m_image.m_green == green && target.m_image.m_blue == blue);
        QVERIFY(target.m_image.m_undoBlue == blue);
        QVERIFY(target.AfterOneRun());
        QVERIFY(!m_shared.m_bRegionSet);
        QCOMPARE(m_regionClearedCalls, 1);
        QCOMPARE(m_settings.m_values.size(), std::size_t(10));
        QCOMPARE(m_settings.GetInt("Settings", "Blue Width", 0), 3);
    }

    // "Process all open images" filters every other image (each plane of a
    // colour one, with the same values) inside the same region, clipped to
    // each image and mirrored with its plane; the active one once.
    void processAllFiltersEveryOtherImage() {
        CTestTarget active(m_shared, m_sink, 80, 50, false, 5);
        CTestTarget other(m_shared, m_sink, 30, 20, false, 6);
        CTestTarget colourOther(m_shared, m_sink, 30, 26, true, 7);
        m_shared.m_bRegionSet = true;
        m_shared.m_rcRegionImage = {10, 4, 200, 300};  // the second image's bloom lies left of it
        AddBloom(active.m_image.m_red, 80, 60, 5, 45);    // right of the active image's height
        const std::vector<CTestImage*> images = {&active.m_image, &other.m_image, &colourOther.m_image};
        std::vector<std::vector<uint32_t>> expected;
        for (CTestImage* image : images) {
            CSharedState clipped = m_shared;
            clipped.m_rcRegionImage.right = image->m_width;
            clipped.m_rcRegionImage.bottom = image->m_height;
            for (auto* plane : {&image->m_red, &image->m_green, &image->m_blue})
                if (!plane->empty())
                    expected.push_back(Filtered(*plane, image->m_width, image->m_height, 60000, 5, 2, true, clipped));
        }
        WhenDialogShows<QDialog>([](QDialog& dialog) {
            auto& mono = static_cast<CMonoParamsDlg&>(dialog);
            QTest::mouseClick(mono.m_pProcessAllBox, Qt::LeftButton);
            QTest::mouseClick(mono.m_pMirrorBox, Qt::LeftButton);
            QTest::mouseClick(mono.m_pOkButton, Qt::LeftButton);
        });
        QVERIFY(m_pCommand->Execute(active, {&other, &active, &colourOther}));
        std::size_t i = 0;
        for (CTestImage* image : images)
            for (auto* plane : {&image->m_red, &image->m_green, &image->m_blue})
                if (!plane->empty())
                    QVERIFY2(*plane == expected[i++], qPrintable(QString::number(i)));
        for (CTestTarget* t : {&active, &other, &colourOther})
            QVERIFY(t->AfterOneRun() && !t->m_image.m_undoRed.empty());
        QVERIFY(!m_shared.m_bRegionSet);
        QCOMPARE(m_settings.m_values.size(), std::size_t(4));  // "Process all" is not stored
    }

    // Stored values open the dialog; 0 and one above each bound are refused
    // with the bounds named and focus back on the field; only the first bad
    // field in exchange order is reported; Tab follows that order; the
    // bounds themselves pass;
    // Defaults change the screen only; nothing is stored by the dialog.
    void monoDialogValidation() {
        m_settings.WriteInt("Settings", "Mono Intensity", 1234);
        m_settings.WriteInt("Settings", "Mirror", 1);
        const struct { QLineEdit* CMonoParamsDlg::*edit; uint32_t max; } bounds[] = {
            {&CMonoParamsDlg::m_pIntensityEdit, 1000000}, {&CMonoParamsDlg::m_pLengthEdit, 10000},
            {&CMonoParamsDlg::m_pWidthEdit, 1000}};
        for (const auto& bound : bounds) {
            for (const uint32_t bad : {0u, bound.max + 1}) {
                CMonoParamsDlg dlg(m_settings, m_sink, nullptr);
                dlg.show();
                QVERIFY(QTest::qWaitForWindowActive(&dlg));
                (dlg.*bound.edit)->setText(QString::number(bad));
                QVERIFY(Refused(dlg, dlg.m_pOkButton));
                QCOMPARE(Last(), QStringLiteral("Please enter an integer between 1 and %1.").arg(bound.max));
                QCOMPARE(QApplication::focusWidget(), (dlg.*bound.edit));
            }
        }
        CMonoParamsDlg dlg(m_settings, m_sink, nullptr);
        QCOMPARE(dlg.m_pIntensityEdit->text() + dlg.m_pLengthEdit->text() + dlg.m_pWidthEdit->text(),
                 QStringLiteral("123452"));
        QVERIFY(dlg.m_pMirrorBox->isChecked() && !dlg.m_pProcessAllBox->isChecked());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        dlg.m_pIntensityEdit->setFocus();
        for (QWidget* pNext : std::initializer_list<QWidget*>{dlg.m_pLengthEdit, dlg.m_pWidthEdit, dlg.m_pMirrorBox,
                                                              dlg.m_pDefaultsButton, dlg.m_pProcessAllBox}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // from Intensity, in the fields' order
            QCOMPARE(QApplication::focusWidget(), pNext);
        }
        dlg.m_pWidthEdit->setText(QStringLiteral("0"));
        dlg.m_pLengthEdit->setText(QStringLiteral("10001"));
        QVERIFY(Refused(dlg, dlg.m_pOkButton));
        QCOMPARE(QApplication::focusWidget(), dlg.m_pLengthEdit);
        dlg.m_pLengthEdit->clear();
        QTest::keyClicks(dlg.m_pLengthEdit, QStringLiteral("1x-2"));
        QCOMPARE(dlg.m_pLengthEdit->text(), QStringLiteral("12"));  // digits only
        QTest::mouseClick(dlg.m_pDefaultsButton, Qt::LeftButton);
        QCOMPARE(dlg.m_pIntensityEdit->text() + dlg.m_pLengthEdit->text() + dlg.m_pWidthEdit->text(),
                 QStringLiteral("6000052"));
        QCOMPARE(dlg.m_nIntensity, 1234u);  // members wait for OK
        dlg.m_pIntensityEdit->setText(QStringLiteral("1000000"));
        dlg.m_pLengthEdit->setText(QStringLiteral("1"));
        dlg.m_pWidthEdit->setText(QStringLiteral("1000"));
        QTest::mouseClick(dlg.m_pProcessAllBox, Qt::LeftButton);
        QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        const CMonoParams params = dlg.Params();
        QCOMPARE(params.m_plane.m_nIntensity, 1000000u);
        QCOMPARE(params.m_plane.m_nLength, 1u);
        QCOMPARE(params.m_plane.m_nWidth, 1000u);
        QVERIFY(params.m_bProcessAll && params.m_bMirror);
        QCOMPARE(m_settings.m_values.size(), std::size_t(2));
    }


    // The counts during a real run, the stage lines shown, the bar at 100
    // and the window closed at the end.
    void statusWindowDuringARun() {
        std::vector<uint32_t> plane = Background(40, 30, 0);
        AddBloom(plane, 40, 10, 5, 16);
        AddBloom(plane, 40, 20, 2, 4);  // too short
        CFilterStatusDlg dlg;
        CBloomFilter(plane.data(), 40, 30, 60000, 5, 2).Run("", m_shared, &dlg);
        QCOMPARE(dlg.m_detectedLine->text(), QStringLiteral("15 bloom pixels detected."));
        QCOMPARE(dlg.m_lengthCountLine->text(), QStringLiteral("12 bloom pixels after length check."));
        QVERIFY(!dlg.m_completeLine->isHidden() && dlg.m_progress->value() == 100 && !dlg.isVisible());
    }
};

DORVANE_GUI_TEST_MAIN(TestFilter)
#include "test_filter.moc"
