// The stretch dialog: slider scale and step table, Enter, the toolbar
// button and open flag, the saved position, following the focused image
// window, and never acting on a closed document.
#include <QAction>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QWheelEvent>
#include <QtTest>

#include "CViewTestSupport.h"
#include "app/CDorvaneToolBar.h"
#include "app/Resource.h"
#include "support/ISettings.h"
#include "view/CDorvaneView.h"
#include "view/CHistogramStrip.h"
#include "view/CStretchDlg.h"
#include "view/CStretchScale.h"

namespace {

uint32_t Flat(int) { return 1000u; }

// An image window's view and the stretch dialog opened from it.
struct OpenDialog {
    std::unique_ptr<CDorvaneDoc> pDoc;
    std::unique_ptr<CDorvaneView> pView;
    CStretchDlg* pDlg = nullptr;

    OpenDialog(uint32_t nMaxValue, int32_t nLow, int32_t nHigh)
        : pDoc(MakeTestDoc(16, 8, nMaxValue, nLow, nHigh, Flat)),
          pView(std::make_unique<CDorvaneView>(pDoc.get())) {
        pView->OnActivateView(true);
        pView->OnStretch();
        pDlg = CDorvaneApp::Instance()->m_pStretchDlg;
    }
    ~OpenDialog() {
        if (CDorvaneApp::Instance()->m_pStretchDlg)
            delete CDorvaneApp::Instance()->m_pStretchDlg;
    }
};

void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

class TestStretchDlg : public QObject {
    Q_OBJECT

private slots:
    void init();
    void sliderScaleAndSteps();
    void thumbDragSetsMin();
    void maxShownAtSliderPosition();
    void stepsChangeOnceMaxSliderUsed();
    void pageUpAndLineUpStopAtZero();
    void keysAndWheel_data();
    void keysAndWheel();
    void enterAppliesBothAndEditsTakeDigitsOnly();
    void buttonFlagAndPositionFollowTheDialog();
    void offScreenPositionBroughtBack();
    void followsFocusedImageWindow();
    void neverActsOnClosedDocument();
    void histogramMarksAndAuto();
};

void TestStretchDlg::init() {
    g_nLineStep = 500;
    g_nPageStep = 6500;
    CDorvaneApp& app = *CDorvaneApp::Instance();
    app.m_shared.m_nDisplayBpp = 32;
    app.m_pCurrentDoc = nullptr;
    app.m_bStretchDlgOpen = false;
    app.Settings().WriteInt("Settings", "Stretch Left", 10);
    app.Settings().WriteInt("Settings", "Stretch Top", 10);
}

void TestStretchDlg::sliderScaleAndSteps() {
    QCOMPARE(CStretchScale::Value(500, 65535), 32767u);
    QCOMPARE(CStretchScale::Position(200, 255), 784u);
    QCOMPARE(CStretchScale::Position(255, 255), 1000u);
    // Values past full scale sit at the slider's end, also those whose
    // product would not fit in 32 bits.
    QCOMPARE(CStretchScale::Position(70000, 65535), 1000u);
    QCOMPARE(CStretchScale::Position(4294968u, 65535), 1000u);
    QCOMPARE(CStretchScale::Position(100, 0), 0u);
    QCOMPARE(CStretchScale::StepUp(10, 6500, 255), 255u);
    QCOMPARE(CStretchScale::StepUp(4294967000u, 6500, 65535), 65535u);
    QCOMPARE(CStretchScale::StepUp(100, 25, 255), 125u);
    QCOMPARE(CStretchScale::StepDown(300, 6553), 0u);
    QCOMPARE(CStretchScale::StepDown(655, 655), 0u);
    QCOMPARE(CStretchScale::StepDown(656, 655), 1u);
}

void TestStretchDlg::thumbDragSetsMin() {
    OpenDialog open(65535, 100, 60000);
    CAstroImage& image = *open.pDoc->m_pImage;
    image.m_displayChanged = false;
    open.pDlg->m_sliderMin->setSliderDown(true);
    open.pDlg->m_sliderMin->setSliderPosition(500);
    QCOMPARE(open.pDlg->m_editMin->text(), QStringLiteral("32767"));
    QCOMPARE(image.m_stretchLow, 32767);
    QVERIFY(image.m_displayChanged);
    open.pDlg->m_sliderMin->setSliderDown(false);
    QCOMPARE(image.m_stretchLow, 32767);
    QCOMPARE(image.m_stretchHigh, 60000);
}

void TestStretchDlg::maxShownAtSliderPosition() {
    OpenDialog open(255, 20, 200);
    QCOMPARE(open.pDlg->m_sliderMax->value(), 784);
    QCOMPARE(open.pDlg->m_sliderMin->value(), 78);
    QCOMPARE(open.pDlg->m_editMax->text(), QStringLiteral("200"));
    QCOMPARE(open.pDlg->m_editMin->text(), QStringLiteral("20"));
    QCOMPARE(open.pDlg->m_sliderMax->tickInterval(), 100);
    QCOMPARE(open.pDlg->m_sliderMax->singleStep(), 100);
    QCOMPARE(open.pDlg->m_sliderMax->pageStep(), 6500);
    QCOMPARE(open.pDlg->m_sliderMax->maximum(), 1000);
}

void TestStretchDlg::stepsChangeOnceMaxSliderUsed() {
    OpenDialog open(255, 10, 200);
    CAstroImage& image = *open.pDoc->m_pImage;
    QSlider* pMin = open.pDlg->m_sliderMin;
    pMin->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(open.pDlg->m_nMin, 255u);
    QCOMPARE(pMin->value(), 1000);
    QCOMPARE(open.pDlg->m_editMin->text(), QStringLiteral("255"));
    QCOMPARE(image.m_stretchLow, 255);
    QCOMPARE(g_nLineStep, 500u);

    // Applying Min never changes the steps; Max from its slider does.
    open.pDlg->m_sliderMax->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(image.m_stretchHigh, 0);
    QCOMPARE(g_nLineStep, 2u);
    QCOMPARE(g_nPageStep, 25u);

    pMin->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(image.m_stretchLow, 253);
    QCOMPARE(pMin->value(), 992);
    pMin->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(image.m_stretchLow, 228);
    // Home and End move the slider but apply nothing.
    pMin->triggerAction(QAbstractSlider::SliderToMinimum);
    QCOMPARE(image.m_stretchLow, 228);
}

void TestStretchDlg::pageUpAndLineUpStopAtZero() {
    OpenDialog open(65535, 300, 60000);
    CAstroImage& image = *open.pDoc->m_pImage;
    g_nPageStep = 6553;
    g_nLineStep = 655;
    open.pDlg->m_sliderMin->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(image.m_stretchLow, 0);
    QCOMPARE(open.pDlg->m_sliderMin->value(), 0);
    open.pDlg->m_editMin->setText(QStringLiteral("655"));
    open.pDlg->ApplyMin();
    QCOMPARE(image.m_stretchLow, 655);
    open.pDlg->m_sliderMin->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(image.m_stretchLow, 0);
    QCOMPARE(open.pDlg->m_editMin->text(), QStringLiteral("0"));
}

// Each key and the wheel move Min as a trackbar does: Left, Up and the
// wheel forward one line down, Page Up a page down; one notch is one line,
// with Shift one page.
void TestStretchDlg::keysAndWheel_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("wheel");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<int>("min");
    QTest::newRow("Left") << int(Qt::Key_Left) << 0 << false << 9500;
    QTest::newRow("Right") << int(Qt::Key_Right) << 0 << false << 10500;
    QTest::newRow("Up") << int(Qt::Key_Up) << 0 << false << 9500;
    QTest::newRow("Down") << int(Qt::Key_Down) << 0 << false << 10500;
    QTest::newRow("PageUp") << int(Qt::Key_PageUp) << 0 << false << 3500;
    QTest::newRow("PageDown") << int(Qt::Key_PageDown) << 0 << false << 16500;
    QTest::newRow("wheel forward") << 0 << 120 << false << 9500;
    QTest::newRow("wheel back") << 0 << -120 << false << 10500;
    QTest::newRow("half a notch") << 0 << 60 << false << 10000;
    QTest::newRow("Shift+wheel forward") << 0 << 120 << true << 3500;
    QTest::newRow("Shift+wheel back") << 0 << -120 << true << 16500;
}

void TestStretchDlg::keysAndWheel() {
    QFETCH(int, key);
    QFETCH(int, wheel);
    QFETCH(bool, shift);
    QFETCH(int, min);
    OpenDialog open(65535, 10000, 60000);
    QSlider* pSlider = open.pDlg->m_sliderMin;
    const Qt::KeyboardModifiers modifiers = shift ? Qt::ShiftModifier : Qt::NoModifier;
    if (key != 0) {
        QTest::keyClick(pSlider, Qt::Key(key), modifiers);
    } else {
        const QPointF centre = QRectF(pSlider->rect()).center();
        QWheelEvent event(centre, pSlider->mapToGlobal(centre), QPoint(), QPoint(0, wheel), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(pSlider, &event);
    }
    QCOMPARE(open.pDoc->m_pImage->m_stretchLow, min);
    QCOMPARE(open.pDlg->m_editMin->text().toInt(), min);
}

void TestStretchDlg::enterAppliesBothAndEditsTakeDigitsOnly() {
    OpenDialog open(65535, 100, 60000);
    CAstroImage& image = *open.pDoc->m_pImage;
    open.pDlg->m_editMin->clear();
    QTest::keyClicks(open.pDlg->m_editMin, QStringLiteral("1a0-0 0"));
    QCOMPARE(open.pDlg->m_editMin->text(), QStringLiteral("1000"));
    open.pDlg->m_editMax->setText(QStringLiteral("70000"));
    image.m_displayChanged = false;
    QTest::keyClick(open.pDlg->m_editMin, Qt::Key_Return);
    QCOMPARE(image.m_stretchLow, 1000);
    // Not limited to full scale: applied as typed, slider at its end.
    QCOMPARE(image.m_stretchHigh, 70000);
    QVERIFY(image.m_displayChanged);
    QCOMPARE(open.pDlg->m_sliderMin->value(), 15);
    QCOMPARE(open.pDlg->m_sliderMax->value(), 1000);
    QVERIFY(open.pDlg->isVisible() || !open.pDlg->isHidden());

    // An empty edit applies 0.
    open.pDlg->m_editMax->clear();
    QTest::keyClick(open.pDlg, Qt::Key_Enter);
    QCOMPARE(image.m_stretchHigh, 0);
}

void TestStretchDlg::buttonFlagAndPositionFollowTheDialog() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    CDorvaneToolBar toolBar;
    QAction stretch(QStringLiteral("Stretch"));
    stretch.setCheckable(true);
    toolBar.AddButton(DorvaneIds::ID_VIEW_STRETCH, &stretch);
    app.m_pToolBar = &toolBar;
    app.Settings().WriteInt("Settings", "Stretch Left", 30);
    app.Settings().WriteInt("Settings", "Stretch Top", 40);

    auto pDoc = MakeTestDoc(16, 8, 65535, 100, 6000, Flat);
    CDorvaneView view(pDoc.get());
    view.OnActivateView(true);
    view.OnStretch();
    QPointer<CStretchDlg> pDlg = app.m_pStretchDlg;
    QVERIFY(pDlg && pDlg->isVisible());
    QVERIFY(app.m_bStretchDlgOpen);
    QVERIFY(toolBar.IsButtonChecked(DorvaneIds::ID_VIEW_STRETCH));
    QCOMPARE(pDlg->pos(), QPoint(30, 40));

    // Escape goes through the close path.
    pDlg->move(50, 60);
    QTest::keyClick(pDlg, Qt::Key_Escape);
    QVERIFY(!app.m_bStretchDlgOpen);
    QVERIFY(!toolBar.IsButtonChecked(DorvaneIds::ID_VIEW_STRETCH));
    QCOMPARE(app.Settings().GetInt("Settings", "Stretch Left", 0), 50);
    QCOMPARE(app.Settings().GetInt("Settings", "Stretch Top", 0), 60);
    FlushDeletes();
    QVERIFY(pDlg.isNull());
    QVERIFY(app.m_pStretchDlg == nullptr);

    // The command opens a new one where the last one was, then closes it.
    view.OnStretch();
    pDlg = app.m_pStretchDlg;
    QVERIFY(pDlg && app.m_bStretchDlgOpen);
    QCOMPARE(pDlg->pos(), QPoint(50, 60));
    pDlg->move(70, 80);
    view.OnStretch();
    QVERIFY(!app.m_bStretchDlgOpen);
    QVERIFY(!toolBar.IsButtonChecked(DorvaneIds::ID_VIEW_STRETCH));
    QCOMPARE(app.Settings().GetInt("Settings", "Stretch Left", 0), 70);
    FlushDeletes();
    QVERIFY(pDlg.isNull());
    app.m_pToolBar = nullptr;
}

void TestStretchDlg::offScreenPositionBroughtBack() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (QPoint saved : {QPoint(50000, 40000), QPoint(-30000, 20), QPoint(20, -30000)}) {
        app.Settings().WriteInt("Settings", "Stretch Left", saved.x());
        app.Settings().WriteInt("Settings", "Stretch Top", saved.y());
        OpenDialog open(65535, 100, 6000);
        QVERIFY2(screen.contains(QRect(open.pDlg->pos(), open.pDlg->size())),
                 qPrintable(QStringLiteral("%1,%2").arg(open.pDlg->pos().x()).arg(open.pDlg->pos().y())));
    }
}

void TestStretchDlg::followsFocusedImageWindow() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    OpenDialog open(65535, 100, 200);
    auto pOther = MakeTestDoc(16, 8, 65535, 300, 400, Flat);
    CDorvaneView otherView(pOther.get());

    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(&otherView, &focusIn);
    QVERIFY(app.m_pCurrentDoc == pOther.get());
    QCOMPARE(open.pDlg->m_editMin->text(), QStringLiteral("300"));
    QCOMPARE(open.pDlg->m_editMax->text(), QStringLiteral("400"));
    QCOMPARE(open.pDlg->m_sliderMax->value(), 6);

    open.pDlg->m_editMin->setText(QStringLiteral("350"));
    open.pDlg->ApplyBoth();
    QCOMPARE(pOther->m_pImage->m_stretchLow, 350);
    QCOMPARE(open.pDoc->m_pImage->m_stretchLow, 100);

    QApplication::sendEvent(open.pView.get(), &focusIn);
    QVERIFY(app.m_pCurrentDoc == open.pDoc.get());
    QCOMPARE(open.pDlg->m_editMin->text(), QStringLiteral("100"));
}

void TestStretchDlg::neverActsOnClosedDocument() {
    CDorvaneApp& app = *CDorvaneApp::Instance();
    OpenDialog open(65535, 100, 200);
    auto pOther = MakeTestDoc(16, 8, 65535, 300, 400, Flat);
    auto pOtherView = std::make_unique<CDorvaneView>(pOther.get());

    // The current image window closes: its view goes, then its document.
    open.pView.reset();
    open.pDoc.reset();
    QVERIFY(app.m_pCurrentDoc == nullptr);
    QVERIFY(!open.pDlg->isEnabled());
    open.pDlg->m_editMin->setText(QStringLiteral("5"));
    open.pDlg->ApplyBoth();
    open.pDlg->m_sliderMin->triggerAction(QAbstractSlider::SliderPageStepAdd);
    open.pDlg->m_sliderMax->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    open.pDlg->RefreshFromDocument();
    QCOMPARE(pOther->m_pImage->m_stretchLow, 300);
    QCOMPARE(g_nLineStep, 500u);

    // The next active image window brings it back with its own values.
    pOtherView->OnActivateView(true);
    QVERIFY(open.pDlg->isEnabled());
    QCOMPARE(open.pDlg->m_editMin->text(), QStringLiteral("300"));
    open.pDlg->m_sliderMax->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(pOther->m_pImage->m_stretchHigh, 0);

    // A window that is not the current one closing changes nothing.
    auto pThird = MakeTestDoc(16, 8, 65535, 1, 2, Flat);
    auto pThirdView = std::make_unique<CDorvaneView>(pThird.get());
    pThirdView.reset();
    pThird.reset();
    QVERIFY(app.m_pCurrentDoc == pOther.get());
    QVERIFY(open.pDlg->isEnabled());

    // The same when the window clears the current document itself before
    // its view goes.
    app.m_pCurrentDoc = nullptr;
    pOtherView.reset();
    QVERIFY(!open.pDlg->isEnabled());
}

// The histogram counts the red plane over the full scale, and counts again
// when a filter run or Undo changes the planes; Min and Max are marked where
// they are; Auto applies the automatic stretch.
void TestStretchDlg::histogramMarksAndAuto() {
    OpenDialog open(65535, 100, 200);
    CHistogramStrip& strip = *open.pDlg->m_pHistogram;
    const auto bars = [&](std::initializer_list<std::pair<uint32_t, uint32_t>> counts) {
        std::vector<uint32_t> expected(static_cast<std::size_t>(strip.width()), 0u);
        for (auto [value, count] : counts)
            expected[uint64_t(value) * expected.size() / 65536] += count;
        return expected;
    };
    QVERIFY(strip.width() > 100);
    QCOMPARE(strip.Bars(), bars({{1000, 128}}));
    // Another image window with the same stretch comes to the front.
    auto pOther = MakeTestDoc(16, 8, 65535, 100, 200, [](int) { return 3000u; });
    CDorvaneView otherView(pOther.get());
    otherView.OnActivateView(true);
    QCOMPARE(strip.Bars(), bars({{3000, 128}}));
    open.pView->OnActivateView(true);
    QCOMPARE(strip.Bars(), bars({{1000, 128}}));

    // What a filter run does: 8 pixels at 10, 10 at 20, the rest at 50.
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
    QCOMPARE(image.m_stretchLow, 20);
    QCOMPARE(image.m_stretchHigh, 50);
    QCOMPARE(open.pDlg->m_sliderMax->value(), 0);
}

int main(int argc, char** argv) {
    return RunViewTest<TestStretchDlg>(argc, argv, 32);
}

#include "test_stretch_dlg.moc"
