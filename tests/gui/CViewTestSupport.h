#pragma once
// Shared by the image view and stretch dialog tests: in-memory monochrome
// images wrapped in core documents, and mouse events sent straight to a
// widget.
#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <string>

#include "app/CDorvaneApp.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"

class CTestImage : public CAstroImage {
public:
    using CAstroImage::CAstroImage;
    bool Open(const std::string&) override { return false; }
    int Save(const std::string&) override { return 0; }
};

// A document with a monochrome w x h image whose raw value at index i is
// value(i), stretched low..high and mapped at the application's depth.
inline std::unique_ptr<CDorvaneDoc> MakeTestDoc(int w, int h, uint32_t nMaxValue, int32_t nLow,
                                                int32_t nHigh,
                                                const std::function<uint32_t(int)>& value) {
    static CCollectingMessageSink sink;
    static CMemorySettings settings;
    CDorvaneApp& app = *CDorvaneApp::Instance();
    auto pDoc = std::make_unique<CDorvaneDoc>(app.m_shared, sink, settings);
    auto* pImage = new CTestImage(app.m_shared, sink);
    pImage->m_width = w;
    pImage->m_height = h;
    pImage->m_maxValue = nMaxValue;
    pImage->m_bitsPerPixel = nMaxValue > 255 ? 16 : 8;
    pImage->m_red.resize(static_cast<std::size_t>(w) * h);
    for (int i = 0; i < w * h; ++i)
        pImage->m_red[static_cast<std::size_t>(i)] = value(i);
    pImage->m_displayLut.resize(nMaxValue + 1);
    pImage->m_displayPixels.resize(static_cast<std::size_t>(w) * h *
                                   static_cast<std::size_t>(app.m_shared.m_nDisplayBpp / 8));
    pImage->m_stretchLow = nLow;
    pImage->m_stretchHigh = nHigh;
    pImage->UpdateDisplay();
    pDoc->m_pImage = pImage;
    pDoc->m_isFits = 1;
    app.m_shared.m_nFullScale = nMaxValue;
    return pDoc;
}

inline void SendMouse(QWidget* pWidget, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(pos), pWidget->mapToGlobal(QPointF(pos)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(pWidget, &event);
}

inline void Drag(QWidget* pWidget, QPoint from, QPoint to) {
    SendMouse(pWidget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(pWidget, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    SendMouse(pWidget, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// Runs a QtTest object inside the one application object, with settings in
// a private folder and the offscreen platform unless another was chosen.
template <typename Test>
int RunViewTest(int argc, char** argv, int32_t nDisplayBpp) {
    QTemporaryDir configDir;
    qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    CDorvaneApp app(argc, argv);
    app.m_shared.m_nDisplayBpp = nDisplayBpp;
    Test test;
    return QTest::qExec(&test, argc, argv);
}

namespace QTest {
template <>
inline char* toString(const CRegion& rc) {
    return qstrdup(QStringLiteral("(%1, %2, %3, %4)").arg(rc.left).arg(rc.top).arg(rc.right).arg(rc.bottom).toUtf8().constData());
}
}  // namespace QTest
