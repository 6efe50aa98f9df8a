#pragma once
#include <QSlider>

// A slider of the stretch dialog: 0 to 1000 with ticks every 100, moved the
// way a trackbar moves. Up and Page Up step down like Left, Down and Page
// Down step up like Right, and each notch of the wheel is one line step
// (forward down, back up), a page step with Shift.
class CStretchSlider : public QSlider {
    Q_OBJECT

public:
    explicit CStretchSlider(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int m_nWheelRemainder = 0;  // eighths of a degree short of a notch
};
