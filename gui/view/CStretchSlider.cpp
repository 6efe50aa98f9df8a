#include "view/CStretchSlider.h"

#include <QKeyEvent>
#include <QWheelEvent>

#include "view/CStretchScale.h"

CStretchSlider::CStretchSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, static_cast<int>(CStretchScale::kSliderMax));
    setTickPosition(QSlider::TicksBothSides);
    setTickInterval(100);
    setSingleStep(100);
    setFocusPolicy(Qt::StrongFocus);
}

void CStretchSlider::keyPressEvent(QKeyEvent* event) {
    // Qt takes Up and Page Up as steps towards the maximum, a trackbar
    // towards the minimum as Left (inverting Qt's controls would turn Left
    // and Right round too).
    SliderAction action = SliderNoAction;
    switch (event->key()) {
        case Qt::Key_Up: action = SliderSingleStepSub; break;
        case Qt::Key_Down: action = SliderSingleStepAdd; break;
        case Qt::Key_PageUp: action = SliderPageStepSub; break;
        case Qt::Key_PageDown: action = SliderPageStepAdd; break;
        default: QSlider::keyPressEvent(event); return;
    }
    triggerAction(action);
    event->accept();
}

void CStretchSlider::wheelEvent(QWheelEvent* event) {
    // Qt would move by several lines a notch, and by a page with Ctrl too;
    // here a notch is one step of the dialog's own table. Finer wheels add
    // up until they make a notch.
    constexpr int kNotch = QWheelEvent::DefaultDeltasPerStep;
    const QPoint delta = event->angleDelta();
    m_nWheelRemainder += delta.y() != 0 ? delta.y() : delta.x();
    const bool bPage = event->modifiers() & Qt::ShiftModifier;
    for (; m_nWheelRemainder >= kNotch; m_nWheelRemainder -= kNotch)
        triggerAction(bPage ? SliderPageStepSub : SliderSingleStepSub);
    for (; m_nWheelRemainder <= -kNotch; m_nWheelRemainder += kNotch)
        triggerAction(bPage ? SliderPageStepAdd : SliderSingleStepAdd);
    event->accept();
}
