// The parameter dialogs: stored values, validation order and bounds, Defaults,
// plane check boxes, tool tips, tab order and context help.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWhatsThis>
#include <QtTest>
#include <vector>

#include "filter/CColorParamsDlg.h"
#include "filter/CFilterSettings.h"
#include "filter/CMonoParamsDlg.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"

namespace {

struct MonoBound {
    const char* name;
    QLineEdit* CMonoParamsDlg::*edit;
    uint32_t max;
};

const MonoBound kMonoBounds[] = {
    {"Intensity", &CMonoParamsDlg::m_pIntensityEdit, 1000000},
    {"Length", &CMonoParamsDlg::m_pLengthEdit, 10000},
    {"Width", &CMonoParamsDlg::m_pWidthEdit, 1000},
};

// The widgets Tab visits, starting at first.
std::vector<QWidget*> FocusChain(QWidget* first, int count)
{
    std::vector<QWidget*> chain;
    QWidget* w = first;
    for (int i = 0; i < count; ++i) {
        chain.push_back(w);
        do {
            w = w->nextInFocusChain();
        } while (w != first && !(w->focusPolicy() & Qt::TabFocus));
    }
    return chain;
}

}  // namespace

class TestFilterParams : public QObject {
    Q_OBJECT

private slots:
    void monoReadsStoredValuesAndDefaults();
    void monoRefusesZeroAndAboveEachBoundInOrder();
    void monoAcceptsBounds();
    void monoRefusesNonNumbers();
    void monoDefaultsOnScreenOnly();
    void monoProcessAllFollowsBoxAndMirrorIsExchanged();
    void monoTipsTabOrderAndHelp();
    void colorReadsStoredValuesAndExchangeOrder();
    void colorPlaneBoxDisablesButStillValidates();
    void colorTabOrderAndNoHelpButton();
    void settingsRoundTripSharesMirror();
};

void TestFilterParams::monoReadsStoredValuesAndDefaults()
{
    CMemorySettings empty;
    CCollectingMessageSink sink;
    CMonoParamsDlg fresh(empty, sink, nullptr);
    QCOMPARE(fresh.m_nIntensity, 60000u);
    QCOMPARE(fresh.m_nLength, 5u);
    QCOMPARE(fresh.m_nWidth, 2u);
    QVERIFY(!fresh.m_bMirror);
    QCOMPARE(fresh.m_pIntensityEdit->text(), QStringLiteral("60000"));
    QCOMPARE(fresh.windowTitle(), QStringLiteral("Set Parameters"));

    CMemorySettings stored;
    stored.WriteInt("Settings", "Mono Intensity", 1234);
    stored.WriteInt("Settings", "Mono Length", 7);
    stored.WriteInt("Settings", "Mono Width", 3);
    stored.WriteInt("Settings", "Mirror", 1);
    CMonoParamsDlg dlg(stored, sink, nullptr);
    QCOMPARE(dlg.m_pIntensityEdit->text(), QStringLiteral("1234"));
    QCOMPARE(dlg.m_pLengthEdit->text(), QStringLiteral("7"));
    QCOMPARE(dlg.m_pWidthEdit->text(), QStringLiteral("3"));
    QVERIFY(dlg.m_pMirrorBox->isChecked());
    QVERIFY(!dlg.m_pProcessAllBox->isChecked());
    QVERIFY(!dlg.m_bProcessAll);
}

void TestFilterParams::monoRefusesZeroAndAboveEachBoundInOrder()
{
    for (const MonoBound& bound : kMonoBounds) {
        for (const uint32_t bad : {0u, bound.max + 1}) {
            CMemorySettings settings;
            CCollectingMessageSink sink;
            CMonoParamsDlg dlg(settings, sink, nullptr);
            dlg.show();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            (dlg.*bound.edit)->setText(QString::number(bad));
            QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
            QVERIFY2(dlg.isVisible(), bound.name);
            QCOMPARE(dlg.result(), 0);
            QCOMPARE(sink.m_messages.size(), std::size_t(1));
            QCOMPARE(QString::fromStdString(sink.m_messages[0]),
                     QStringLiteral("Please enter an integer between 1 and %1.").arg(bound.max));
            QCOMPARE(QApplication::focusWidget(), (dlg.*bound.edit));
            // The member keeps its stored value until a value passes.
            QCOMPARE(dlg.m_nIntensity, 60000u);
        }
    }
    // Two bad values: the first in exchange order is reported, and only it.
    CMemorySettings settings;
    CCollectingMessageSink sink;
    CMonoParamsDlg dlg(settings, sink, nullptr);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    dlg.m_pWidthEdit->setText(QStringLiteral("0"));
    dlg.m_pLengthEdit->setText(QStringLiteral("10001"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(sink.m_messages.size(), std::size_t(1));
    QVERIFY(QString::fromStdString(sink.m_messages[0]).contains(QStringLiteral("10000")));
    QCOMPARE(QApplication::focusWidget(), dlg.m_pLengthEdit);
    QCOMPARE(dlg.m_pLengthEdit->selectedText(), QStringLiteral("10001"));
}

void TestFilterParams::monoAcceptsBounds()
{
    for (const bool upper : {false, true}) {
        CMemorySettings settings;
        CCollectingMessageSink sink;
        CMonoParamsDlg dlg(settings, sink, nullptr);
        dlg.show();
        for (const MonoBound& bound : kMonoBounds)
            (dlg.*bound.edit)->setText(QString::number(upper ? bound.max : 1));
        QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(sink.m_messages.empty());
        QCOMPARE(dlg.m_nIntensity, upper ? 1000000u : 1u);
        QCOMPARE(dlg.m_nLength, upper ? 10000u : 1u);
        QCOMPARE(dlg.m_nWidth, upper ? 1000u : 1u);
        // Accepting stores nothing: the command does that.
        QVERIFY(settings.m_values.empty());
    }
}

void TestFilterParams::monoRefusesNonNumbers()
{
    for (const char* text : {"", "12a", "-5", "99999999999999999999999"}) {
        CMemorySettings settings;
        CCollectingMessageSink sink;
        CMonoParamsDlg dlg(settings, sink, nullptr);
        dlg.show();
        dlg.m_pLengthEdit->setText(QString::fromLatin1(text));
        QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
        QVERIFY2(dlg.isVisible(), text);
        QCOMPARE(sink.m_messages.size(), std::size_t(1));
    }
    // Typing is limited to digits.
    CMemorySettings settings;
    CCollectingMessageSink sink;
    CMonoParamsDlg dlg(settings, sink, nullptr);
    dlg.m_pWidthEdit->clear();
    QTest::keyClicks(dlg.m_pWidthEdit, QStringLiteral("1x-2"));
    QCOMPARE(dlg.m_pWidthEdit->text(), QStringLiteral("12"));
}

void TestFilterParams::monoDefaultsOnScreenOnly()
{
    CMemorySettings settings;
    settings.WriteInt("Settings", "Mono Intensity", 400);
    settings.WriteInt("Settings", "Mono Length", 9);
    settings.WriteInt("Settings", "Mono Width", 4);
    settings.WriteInt("Settings", "Mirror", 1);
    CCollectingMessageSink sink;
    {
        CMonoParamsDlg dlg(settings, sink, nullptr);
        dlg.show();
        QTest::mouseClick(dlg.m_pProcessAllBox, Qt::LeftButton);
        QTest::mouseClick(dlg.m_pDefaultsButton, Qt::LeftButton);
        QCOMPARE(dlg.m_pIntensityEdit->text(), QStringLiteral("60000"));
        QCOMPARE(dlg.m_pLengthEdit->text(), QStringLiteral("5"));
        QCOMPARE(dlg.m_pWidthEdit->text(), QStringLiteral("2"));
        QCOMPARE(dlg.m_nIntensity, 400u);  // members wait for OK
        QVERIFY(dlg.m_pMirrorBox->isChecked());  // check boxes untouched
        QVERIFY(dlg.m_pProcessAllBox->isChecked());
        QCOMPARE(settings.GetInt("Settings", "Mono Intensity", 0), 400);
        QTest::mouseClick(dlg.m_pCancelButton, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(settings.GetInt("Settings", "Mono Intensity", 0), 400);
    }
    CMonoParamsDlg dlg(settings, sink, nullptr);
    dlg.show();
    QTest::mouseClick(dlg.m_pDefaultsButton, Qt::LeftButton);
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.Params().m_plane.m_nIntensity, 60000u);
    QCOMPARE(dlg.Params().m_plane.m_nLength, 5u);
    QCOMPARE(dlg.Params().m_plane.m_nWidth, 2u);
}

void TestFilterParams::monoProcessAllFollowsBoxAndMirrorIsExchanged()
{
    CMemorySettings settings;
    CCollectingMessageSink sink;
    CMonoParamsDlg dlg(settings, sink, nullptr);
    dlg.show();
    QTest::mouseClick(dlg.m_pProcessAllBox, Qt::LeftButton);
    QVERIFY(dlg.m_bProcessAll);
    QTest::mouseClick(dlg.m_pProcessAllBox, Qt::LeftButton);
    QVERIFY(!dlg.m_bProcessAll);
    QTest::mouseClick(dlg.m_pProcessAllBox, Qt::LeftButton);
    // Space on the focused box toggles it as a click does.
    dlg.m_pMirrorBox->setFocus();
    QTest::keyClick(dlg.m_pMirrorBox, Qt::Key_Space);
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(dlg.Params().m_bMirror);
    QVERIFY(dlg.Params().m_bProcessAll);
}

void TestFilterParams::monoTipsTabOrderAndHelp()
{
    CMemorySettings settings;
    CCollectingMessageSink sink;
    std::vector<uint32_t> contexts;
    CMonoParamsDlg dlg(settings, sink, [&](uint32_t c) { contexts.push_back(c); });
    QVERIFY(dlg.windowFlags() & Qt::WindowContextHelpButtonHint);
    QCOMPARE(dlg.m_pIntensityEdit->toolTip(),
             QStringLiteral("Intensity level at which pixels will be considered blooming candidates."));
    QCOMPARE(dlg.m_pLengthEdit->toolTip(),
             QStringLiteral("Number of vertical pixels above the intensity level to consider a bloom."));
    QCOMPARE(dlg.m_pWidthEdit->toolTip(),
             QStringLiteral("Number of pixels from bloom center to get pixel replacement pixels."));
    QCOMPARE(dlg.m_pMirrorBox->toolTip(),
             QStringLiteral("Reverses the side of the bloom for selecting replacement pixels."));
    QCOMPARE(dlg.m_pProcessAllBox->toolTip(), QStringLiteral("Runs the filter on all open images."));
    QCOMPARE(dlg.m_pDefaultsButton->toolTip(), QStringLiteral("Restore to original settings."));

    const std::vector<QWidget*> expected = {dlg.m_pOkButton,   dlg.m_pCancelButton,
                                            dlg.m_pIntensityEdit, dlg.m_pLengthEdit,
                                            dlg.m_pWidthEdit,  dlg.m_pMirrorBox,
                                            dlg.m_pDefaultsButton, dlg.m_pProcessAllBox,
                                            dlg.m_pOkButton};
    QCOMPARE(FocusChain(dlg.m_pOkButton, 9), expected);

    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    const std::pair<QWidget*, uint32_t> cases[] = {
        {dlg.m_pIntensityEdit, 0x203E8}, {dlg.m_pLengthEdit, 0x203E9},
        {dlg.m_pWidthEdit, 0x203EA},     {dlg.m_pMirrorBox, 0x203EB},
        {dlg.m_pProcessAllBox, 0x200D4}, {dlg.m_pDefaultsButton, 0x200C9},
        {dlg.m_pOkButton, 0x200C9},
    };
    for (const auto& [control, context] : cases) {
        contexts.clear();
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F1);
        QCOMPARE(contexts, std::vector<uint32_t>{context});
    }
    // The caption's help button: "What's This?" mode, then a click on a
    // control.
    for (const auto& [control, context] : cases) {
        contexts.clear();
        QWhatsThis::enterWhatsThisMode();
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(contexts, std::vector<uint32_t>{context});
        QVERIFY(!QWhatsThis::inWhatsThisMode());
    }
    QVERIFY(dlg.isVisible());
    QVERIFY(sink.m_messages.empty());
}

void TestFilterParams::colorReadsStoredValuesAndExchangeOrder()
{
    CMemorySettings settings;
    settings.WriteInt("Settings", "Green Intensity", 3000);
    settings.WriteInt("Settings", "Blue Length", 8);
    settings.WriteInt("Settings", "Red Width", 6);
    settings.WriteInt("Settings", "Mirror", 1);
    CCollectingMessageSink sink;
    CColorParamsDlg dlg(settings, sink);
    QCOMPARE(dlg.m_pEdits[0][0]->text(), QStringLiteral("60000"));
    QCOMPARE(dlg.m_pEdits[1][0]->text(), QStringLiteral("3000"));
    QCOMPARE(dlg.m_pEdits[2][1]->text(), QStringLiteral("8"));
    QCOMPARE(dlg.m_pEdits[0][2]->text(), QStringLiteral("6"));
    QVERIFY(dlg.m_pMirrorBox->isChecked());
    for (QCheckBox* box : dlg.m_pPlaneBoxes) {
        QVERIFY(box->isChecked());
    }
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    // Every intensity first, then every length, then every width: a bad blue
    // intensity is reported before a bad red length.
    dlg.m_pEdits[0][1]->setText(QStringLiteral("0"));
    dlg.m_pEdits[2][0]->setText(QStringLiteral("1000001"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(sink.m_messages.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(sink.m_messages[0]),
             QStringLiteral("Please enter an integer between 1 and 1000000."));
    QCOMPARE(QApplication::focusWidget(), dlg.m_pEdits[2][0]);
    dlg.m_pEdits[2][0]->setText(QStringLiteral("1000000"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(sink.m_messages.size(), std::size_t(2));
    QCOMPARE(QApplication::focusWidget(), dlg.m_pEdits[0][1]);
    dlg.m_pEdits[0][1]->setText(QStringLiteral("10000"));
    dlg.m_pEdits[1][2]->setText(QStringLiteral("1001"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(QString::fromStdString(sink.m_messages.back()),
             QStringLiteral("Please enter an integer between 1 and 1000."));
    dlg.m_pEdits[1][2]->setText(QStringLiteral("1000"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    const CColorParams params = dlg.Params();
    QCOMPARE(params.m_planes[2].m_nIntensity, 1000000u);
    QCOMPARE(params.m_planes[0].m_nLength, 10000u);
    QCOMPARE(params.m_planes[1].m_nWidth, 1000u);
    QCOMPARE(params.m_planes[1].m_nIntensity, 3000u);
    QVERIFY(params.m_bMirror);
}

void TestFilterParams::colorPlaneBoxDisablesButStillValidates()
{
    CMemorySettings settings;
    CCollectingMessageSink sink;
    CColorParamsDlg dlg(settings, sink);
    dlg.show();
    QTest::mouseClick(dlg.m_pPlaneBoxes[1], Qt::LeftButton);
    QVERIFY(!dlg.m_bGreenPlane);
    for (QLineEdit* edit : dlg.m_pEdits[1])
        QVERIFY(!edit->isEnabled());
    for (QLineEdit* edit : dlg.m_pEdits[0])
        QVERIFY(edit->isEnabled());
    dlg.m_pEdits[1][1]->setText(QStringLiteral("0"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QVERIFY(dlg.isVisible());
    QCOMPARE(sink.m_messages.size(), std::size_t(1));
    dlg.m_pEdits[1][1]->setText(QStringLiteral("44"));
    QTest::mouseClick(dlg.m_pPlaneBoxes[1], Qt::LeftButton);
    for (QLineEdit* edit : dlg.m_pEdits[1])
        QVERIFY(edit->isEnabled());
    QTest::mouseClick(dlg.m_pPlaneBoxes[1], Qt::LeftButton);
    QTest::mouseClick(dlg.m_pPlaneBoxes[2], Qt::LeftButton);
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    const CColorParams params = dlg.Params();
    QVERIFY(params.m_bPlaneOn[0]);
    QVERIFY(!params.m_bPlaneOn[1]);
    QVERIFY(!params.m_bPlaneOn[2]);
    QCOMPARE(params.m_planes[1].m_nLength, 44u);
}

void TestFilterParams::colorTabOrderAndNoHelpButton()
{
    CMemorySettings settings;
    CCollectingMessageSink sink;
    CColorParamsDlg dlg(settings, sink);
    QVERIFY(!(dlg.windowFlags() & Qt::WindowContextHelpButtonHint));
    std::vector<QWidget*> expected = {dlg.m_pOkButton, dlg.m_pCancelButton};
    for (auto& plane : dlg.m_pEdits)
        for (QLineEdit* edit : plane)
            expected.push_back(edit);
    for (QCheckBox* box : dlg.m_pPlaneBoxes)
        expected.push_back(box);
    expected.push_back(dlg.m_pMirrorBox);
    expected.push_back(dlg.m_pOkButton);
    QCOMPARE(FocusChain(dlg.m_pOkButton, int(expected.size())), expected);
    for (auto& plane : dlg.m_pEdits)
        for (QLineEdit* edit : plane)
            QVERIFY(edit->toolTip().isEmpty());
}

void TestFilterParams::settingsRoundTripSharesMirror()
{
    CMemorySettings settings;
    CMonoParams mono;
    mono.m_plane = {123, 45, 6};
    mono.m_bMirror = true;
    mono.m_bProcessAll = true;
    CFilterSettings::WriteMono(settings, mono);
    QCOMPARE(settings.m_values.size(), std::size_t(4));  // Process-all is not stored
    const CMonoParams readMono = CFilterSettings::ReadMono(settings);
    QCOMPARE(readMono.m_plane.m_nIntensity, 123u);
    QCOMPARE(readMono.m_plane.m_nLength, 45u);
    QCOMPARE(readMono.m_plane.m_nWidth, 6u);
    QVERIFY(readMono.m_bMirror);
    QVERIFY(!readMono.m_bProcessAll);
    // One Mirror for both dialogs.
    QVERIFY(CFilterSettings::ReadColor(settings).m_bMirror);

    CColorParams color;
    color.m_planes[0] = {1, 2, 3};
    color.m_planes[1] = {4, 5, 6};
    color.m_planes[2] = {1000000, 10000, 1000};
    color.m_bPlaneOn[1] = false;
    color.m_bMirror = false;
    CFilterSettings::WriteColor(settings, color);
    QCOMPARE(settings.m_values.size(), std::size_t(13));
    QCOMPARE(settings.GetInt("Settings", "Green Width", 0), 6);
    QCOMPARE(settings.GetInt("Settings", "Blue Intensity", 0), 1000000);
    const CColorParams readColor = CFilterSettings::ReadColor(settings);
    for (int p = 0; p < 3; ++p) {
        QCOMPARE(readColor.m_planes[p].m_nIntensity, color.m_planes[p].m_nIntensity);
        QCOMPARE(readColor.m_planes[p].m_nLength, color.m_planes[p].m_nLength);
        QCOMPARE(readColor.m_planes[p].m_nWidth, color.m_planes[p].m_nWidth);
        QVERIFY(readColor.m_bPlaneOn[p]);  // the plane boxes always start set
    }
    QVERIFY(!CFilterSettings::ReadMono(settings).m_bMirror);
    CCollectingMessageSink sink;
    CColorParamsDlg dlg(settings, sink);
    QCOMPARE(dlg.m_pEdits[2][2]->text(), QStringLiteral("1000"));
}

QTEST_MAIN(TestFilterParams)
#include "test_filter_params.moc"
