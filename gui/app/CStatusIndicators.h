#pragma once
#include <QObject>
#include <cstdint>

class QLabel;
class QStatusBar;

// The status bar's panes: the prompt pane ("For Help, press F1" when idle)
// and, at the right, the pixel readout and the CAP, NUM and SCRL lock
// indicators. Left of the readout, so that those keep their places, the
// selected rectangle (shown only while there is one) and the pointer's
// position.
class CStatusIndicators : public QObject {
    Q_OBJECT

public:
    explicit CStatusIndicators(QStatusBar* pStatusBar);

    void SetPixelText(const QString& text);
    QString PixelText() const;
    QLabel* PixelPane() const { return m_pPixel; }
    QLabel* PromptPane() const { return m_pPrompt; }
    // Each pane only grows, so that the bar does not jitter as the pointer
    // moves.
    void SetPositionText(const QString& text);
    QString PositionText() const;
    void SetSelectionText(const QString& text);
    QString SelectionText() const;
    // Shows each lock indicator's text while its lock is on. Where the window
    // system does not report the locks the panes stay empty.
    void UpdateLockIndicators();

private:
    QLabel* AddPane(QStatusBar* pStatusBar, const QString& widthText);
    static void SetGrowingText(QLabel* pPane, const QString& text);

    QLabel* m_pPrompt;
    QLabel* m_pSelection;
    QLabel* m_pPosition;
    QLabel* m_pPixel;
    QLabel* m_pCaps;
    QLabel* m_pNum;
    QLabel* m_pScroll;
};
