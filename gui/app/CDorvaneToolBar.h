#pragma once
#include <QMap>
#include <QToolBar>

class QAction;

// The main toolbar: flat, movable to any edge or floating. Buttons are the
// frame's command actions; the Stretch button is a check button that the
// stretch dialog presses and releases.
class CDorvaneToolBar : public QToolBar {
    Q_OBJECT

public:
    explicit CDorvaneToolBar(QWidget* parent = nullptr);

    void AddButton(int commandId, QAction* pAction);
    // Presses (true) or releases (false) the check button of commandId.
    void CheckButton(int commandId, bool bChecked);
    bool IsButtonChecked(int commandId) const;

private:
    QMap<int, QAction*> m_buttons;
};
