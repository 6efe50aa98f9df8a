// The parameter dialogs: stored values, validation order and bounds, Defaults,
// plane check boxes, tool tips, tab order and context help.
#include <QCheckBox>
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

// The widgets Tab visits, starting at first.
std::vector<QWidget*> FocusChain(QWidget* first, std::size_t count)
{
    std::vector<QWidget*> chain;
    QWidget* w = first;
    while (chain.size() < count) {
        chain.push_back(w);
        do {
            w = w->nextInFocusChain();
        } while (w != first && !(w->focusPolicy() & Qt::TabFocus));
    }
    return chain;
}

QString Last(const CCollectingMessageSink& sink)
{
    return sink.m_messages.empty() ? QString() : QString::fromStdString(sink.m_messages.back());
}

}  // namespace

class TestFilterParams : public QObject {
    Q_OBJECT

    CMemorySettings m_settings;
    CCollectingMessageSink m_sink;

private slots:
    void init()
    {
        m_settings.m_values.clear();
        m_sink.Clear();
    }
    void monoOpensWithStoredValues();
    void monoValidatesInExchangeOrderWithBounds();
    void monoDefaultsOnScreenOnlyAndCheckBoxes();
    void monoTipsTabOrderAndHelp();
    void colourValidatesEveryPlaneInOrder();
    void colourPlaneBoxDisablesButStillValidates();
    void settingsRoundTripSharesMirror();
};

void TestFilterParams::monoOpensWithStoredValues()
{
    CMonoParamsDlg fresh(m_settings, m_sink, nullptr);
    QCOMPARE(fresh.m_pIntensityEdit->text() + fresh.m_pLengthEdit->text() + fresh.m_pWidthEdit->text(),
             QStringLiteral("6000052"));
    QVERIFY(!fresh.m_bMirror);

    m_settings.WriteInt("Settings", "Mono Intensity", 1234);
    m_settings.WriteInt("Settings", "Mono Length", 7);
    m_settings.WriteInt("Settings", "Mono Width", 3);
    m_settings.WriteInt("Settings", "Mirror", 1);
    CMonoParamsDlg dlg(m_settings, m_sink, nullptr);
    QCOMPARE(dlg.m_pIntensityEdit->text(), QStringLiteral("1234"));
    QCOMPARE(dlg.m_pLengthEdit->text(), QStringLiteral("7"));
    QCOMPARE(dlg.m_pWidthEdit->text(), QStringLiteral("3"));
    QVERIFY(dlg.m_pMirrorBox->isChecked());
    QVERIFY(!dlg.m_pProcessAllBox->isChecked());
}

void TestFilterParams::monoValidatesInExchangeOrderWithBounds()
{
    const struct {
        QLineEdit* CMonoParamsDlg::*edit;
        uint32_t max;
    } bounds[] = {{&CMonoParamsDlg::m_pIntensityEdit, 1000000},
                  {&CMonoParamsDlg::m_pLengthEdit, 10000},
                  {&CMonoParamsDlg::m_pWidthEdit, 1000}};
    // 0 and one above each bound are refused: message naming the bounds,
    // focus back on the edit, dialog still open, member unchanged.
    for (const auto& bound : bounds) {
        for (const uint32_t bad : {0u, bound.max + 1}) {
            m_sink.Clear();
            CMonoParamsDlg dlg(m_settings, m_sink, nullptr);
            dlg.show();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            (dlg.*bound.edit)->setText(QString::number(bad));
            QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
            QVERIFY(dlg.isVisible());
            QCOMPARE(m_sink.m_messages.size(), std::size_t(1));
            QCOMPARE(Last(m_sink), QStringLiteral("Please enter an integer between 1 and %1.").arg(bound.max));
            QCOMPARE(QApplication::focusWidget(), (dlg.*bound.edit));
            QCOMPARE(dlg.m_nIntensity, 60000u);
        }
    }
    // Two bad values: only the first in exchange order is reported.
    m_sink.Clear();
    CMonoParamsDlg dlg(m_settings, m_sink, nullptr);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    dlg.m_pWidthEdit->setText(QStringLiteral("0"));
    dlg.m_pLengthEdit->setText(QStringLiteral("10001"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(m_sink.m_messages.size(), std::size_t(1));
    QCOMPARE(QApplication::focusWidget(), dlg.m_pLengthEdit);
    QCOMPARE(dlg.m_pLengthEdit->selectedText(), QStringLiteral("10001"));
    // Text that is no number at all.
    for (const char* text : {"", "99999999999999999999999"}) {
        dlg.m_pLengthEdit->setText(QString::fromLatin1(text));
        QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
        QVERIFY(dlg.isVisible());
    }
    QCOMPARE(m_sink.m_messages[1], std::string("Please enter a positive integer."));
    // Typing is limited to digits.
    dlg.m_pLengthEdit->clear();
    QTest::keyClicks(dlg.m_pLengthEdit, QStringLiteral("1x-2"));
    QCOMPARE(dlg.m_pLengthEdit->text(), QStringLiteral("12"));
    // The bounds themselves pass, and nothing is stored by the dialog.
    dlg.m_pIntensityEdit->setText(QStringLiteral("1000000"));
    dlg.m_pLengthEdit->setText(QStringLiteral("1"));
    dlg.m_pWidthEdit->setText(QStringLiteral("1000"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.m_nIntensity, 1000000u);
    QCOMPARE(dlg.m_nLength, 1u);
    QCOMPARE(dlg.m_nWidth, 1000u);
    QVERIFY(m_settings.m_values.empty());
}

void TestFilterParams::monoDefaultsOnScreenOnlyAndCheckBoxes()
{
    m_settings.WriteInt("Settings", "Mono Intensity", 400);
    m_settings.WriteInt("Settings", "Mirror", 1);
    {
        CMonoParamsDlg dlg(m_settings, m_sink, nullptr);
        dlg.show();
        dlg.m_pLengthEdit->setText(QStringLiteral("77"));
        QTest::mouseClick(dlg.m_pProcessAllBox, Qt::LeftButton);
        QTest::mouseClick(dlg.m_pDefaultsButton, Qt::LeftButton);
        QCOMPARE(dlg.m_pIntensityEdit->text() + dlg.m_pLengthEdit->text() + dlg.m_pWidthEdit->text(),
                 QStringLiteral("6000052"));
        QCOMPARE(dlg.m_nIntensity, 400u);  // members wait for OK
        QVERIFY(dlg.m_pMirrorBox->isChecked() && dlg.m_pProcessAllBox->isChecked());
        QTest::mouseClick(dlg.m_pCancelButton, Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }
    CMonoParamsDlg dlg(m_settings, m_sink, nullptr);
    dlg.show();
    QTest::mouseClick(dlg.m_pDefaultsButton, Qt::LeftButton);
    QTest::mouseClick(dlg.m_pProcessAllBox, Qt::LeftButton);
    QTest::mouseClick(dlg.m_pProcessAllBox, Qt::LeftButton);
    QTest::mouseClick(dlg.m_pProcessAllBox, Qt::LeftButton);
    dlg.m_pMirrorBox->setFocus();
    QTest::keyClick(dlg.m_pMirrorBox, Qt::Key_Space);
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    const CMonoParams params = dlg.Params();
    QCOMPARE(params.m_plane.m_nIntensity, 60000u);
    QVERIFY(params.m_bProcessAll);
    QVERIFY(!params.m_bMirror);
}

void TestFilterParams::monoTipsTabOrderAndHelp()
{
    std::vector<uint32_t> contexts;
    CMonoParamsDlg dlg(m_settings, m_sink, [&](uint32_t c) { contexts.push_back(c); });
    const std::pair<QWidget*, const char*> tips[] = {
        {dlg.m_pIntensityEdit, "Intensity level at which pixels will be considered blooming candidates."},
        {dlg.m_pLengthEdit, "Number of vertical pixels above the intensity level to consider a bloom."},
        {dlg.m_pWidthEdit, "Number of pixels from bloom center to get pixel replacement pixels."},
        {dlg.m_pMirrorBox, "Reverses the side of the bloom for selecting replacement pixels."},
        {dlg.m_pProcessAllBox, "Runs the filter on all open images."},
        {dlg.m_pDefaultsButton, "Restore to original settings."},
    };
    for (const auto& [control, tip] : tips)
        QCOMPARE(control->toolTip(), QString::fromLatin1(tip));

    const std::vector<QWidget*> order = {dlg.m_pOkButton,  dlg.m_pCancelButton,   dlg.m_pIntensityEdit,
                                         dlg.m_pLengthEdit, dlg.m_pWidthEdit,      dlg.m_pMirrorBox,
                                         dlg.m_pDefaultsButton, dlg.m_pProcessAllBox, dlg.m_pOkButton};
    QCOMPARE(FocusChain(dlg.m_pOkButton, order.size()), order);

    QVERIFY(dlg.windowFlags() & Qt::WindowContextHelpButtonHint);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    const std::pair<QWidget*, uint32_t> cases[] = {
        {dlg.m_pIntensityEdit, 0x203E8}, {dlg.m_pLengthEdit, 0x203E9}, {dlg.m_pWidthEdit, 0x203EA},
        {dlg.m_pMirrorBox, 0x203EB},     {dlg.m_pProcessAllBox, 0x200D4},
        {dlg.m_pDefaultsButton, 0x200C9}, {dlg.m_pOkButton, 0x200C9},
    };
    for (const auto& [control, context] : cases) {
        // F1 on the focused control.
        contexts.clear();
        control->setFocus();
        QTest::keyClick(control, Qt::Key_F1);
        // The caption's help button: "What's This?" mode, then a click.
        QWhatsThis::enterWhatsThisMode();
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(contexts, (std::vector<uint32_t>{context, context}));
        QVERIFY(!QWhatsThis::inWhatsThisMode());
    }
    QVERIFY(dlg.isVisible());
    QVERIFY(dlg.m_pMirrorBox->isChecked() == dlg.m_bMirror);
}

void TestFilterParams::colourValidatesEveryPlaneInOrder()
{
    m_settings.WriteInt("Settings", "Green Intensity", 3000);
    m_settings.WriteInt("Settings", "Blue Length", 8);
    m_settings.WriteInt("Settings", "Mirror", 1);
    CColorParamsDlg dlg(m_settings, m_sink);
    QCOMPARE(dlg.m_pEdits[1][0]->text(), QStringLiteral("3000"));
    QCOMPARE(dlg.m_pEdits[2][1]->text(), QStringLiteral("8"));
    QCOMPARE(dlg.m_pEdits[0][2]->text(), QStringLiteral("2"));
    QVERIFY(dlg.m_pMirrorBox->isChecked());
    QVERIFY(!(dlg.windowFlags() & Qt::WindowContextHelpButtonHint));
    std::vector<QWidget*> order = {dlg.m_pOkButton, dlg.m_pCancelButton};
    for (auto& plane : dlg.m_pEdits)
        order.insert(order.end(), std::begin(plane), std::end(plane));
    order.insert(order.end(), std::begin(dlg.m_pPlaneBoxes), std::end(dlg.m_pPlaneBoxes));
    order.push_back(dlg.m_pMirrorBox);
    QCOMPARE(FocusChain(dlg.m_pOkButton, order.size()), order);

    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    // Every Intensity first, then every Length, then every Width: a bad blue
    // Intensity is reported before a bad red Length.
    dlg.m_pEdits[0][1]->setText(QStringLiteral("0"));
    dlg.m_pEdits[2][0]->setText(QStringLiteral("1000001"));
    dlg.m_pEdits[1][2]->setText(QStringLiteral("1001"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(Last(m_sink), QStringLiteral("Please enter an integer between 1 and 1000000."));
    QCOMPARE(QApplication::focusWidget(), dlg.m_pEdits[2][0]);
    dlg.m_pEdits[2][0]->setText(QStringLiteral("1000000"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(Last(m_sink), QStringLiteral("Please enter an integer between 1 and 10000."));
    QCOMPARE(QApplication::focusWidget(), dlg.m_pEdits[0][1]);
    dlg.m_pEdits[0][1]->setText(QStringLiteral("10000"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(Last(m_sink), QStringLiteral("Please enter an integer between 1 and 1000."));
    dlg.m_pEdits[1][2]->setText(QStringLiteral("1000"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(m_sink.m_messages.size(), std::size_t(3));
    const CColorParams params = dlg.Params();
    QCOMPARE(params.m_planes[2].m_nIntensity, 1000000u);
    QCOMPARE(params.m_planes[0].m_nLength, 10000u);
    QCOMPARE(params.m_planes[1].m_nWidth, 1000u);
    QCOMPARE(params.m_planes[1].m_nIntensity, 3000u);
    QVERIFY(params.m_bMirror);
}

void TestFilterParams::colourPlaneBoxDisablesButStillValidates()
{
    CColorParamsDlg dlg(m_settings, m_sink);
    dlg.show();
    QTest::mouseClick(dlg.m_pPlaneBoxes[1], Qt::LeftButton);
    for (int plane = 0; plane < 3; ++plane)
        for (QLineEdit* edit : dlg.m_pEdits[plane])
            QCOMPARE(edit->isEnabled(), plane != 1);
    dlg.m_pEdits[1][1]->setText(QStringLiteral("0"));
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QVERIFY(dlg.isVisible());
    QCOMPARE(m_sink.m_messages.size(), std::size_t(1));
    dlg.m_pEdits[1][1]->setText(QStringLiteral("44"));
    QTest::mouseClick(dlg.m_pPlaneBoxes[1], Qt::LeftButton);
    QVERIFY(dlg.m_pEdits[1][1]->isEnabled());
    QTest::mouseClick(dlg.m_pPlaneBoxes[1], Qt::LeftButton);
    QTest::mouseClick(dlg.m_pPlaneBoxes[2], Qt::LeftButton);
    QTest::mouseClick(dlg.m_pOkButton, Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    const CColorParams params = dlg.Params();
    QVERIFY(params.m_bPlaneOn[0] && !params.m_bPlaneOn[1] && !params.m_bPlaneOn[2]);
    QCOMPARE(params.m_planes[1].m_nLength, 44u);
}

void TestFilterParams::settingsRoundTripSharesMirror()
{
    CMonoParams mono;
    mono.m_plane = {123, 45, 6};
    mono.m_bMirror = true;
    mono.m_bProcessAll = true;
    CFilterSettings::WriteMono(m_settings, mono);
    QCOMPARE(m_settings.m_values.size(), std::size_t(4));  // not "Process all"
    const CMonoParams readMono = CFilterSettings::ReadMono(m_settings);
    QCOMPARE(readMono.m_plane.m_nLength, 45u);
    QVERIFY(readMono.m_bMirror && !readMono.m_bProcessAll);
    QVERIFY(CFilterSettings::ReadColor(m_settings).m_bMirror);  // one Mirror for both

    CColorParams colour;
    colour.m_planes[0] = {1, 2, 3};
    colour.m_planes[1] = {4, 5, 6};
    colour.m_planes[2] = {1000000, 10000, 1000};
    colour.m_bPlaneOn[1] = false;
    CFilterSettings::WriteColor(m_settings, colour);
    QCOMPARE(m_settings.m_values.size(), std::size_t(13));
    QCOMPARE(m_settings.GetInt("Settings", "Green Width", 0), 6);
    const CColorParams readColour = CFilterSettings::ReadColor(m_settings);
    for (int p = 0; p < 3; ++p) {
        QCOMPARE(readColour.m_planes[p].m_nIntensity, colour.m_planes[p].m_nIntensity);
        QCOMPARE(readColour.m_planes[p].m_nLength, colour.m_planes[p].m_nLength);
        QCOMPARE(readColour.m_planes[p].m_nWidth, colour.m_planes[p].m_nWidth);
        QVERIFY(readColour.m_bPlaneOn[p]);  // the plane boxes always start set
    }
    QVERIFY(!CFilterSettings::ReadMono(m_settings).m_bMirror);
}

QTEST_MAIN(TestFilterParams)
#include "test_filter_params.moc"
