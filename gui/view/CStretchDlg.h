#pragma once
#include <QDialog>
#include <QPointer>
#include <cstdint>

class CAstroImage;
class CDorvaneApp;
class CDorvaneDoc;
class CDorvaneToolBar;
class CHistogramStrip;
class QLineEdit;
class QPushButton;
class QSlider;

// The modeless Min/Max dialog: sets the display stretch of the current
// document's image (the raw values shown as black and as white) from two
// digits-only edits and two sliders, applied at once. It follows the active
// image window, and disables itself while no image is open. Below them a
// histogram of the image with Min and Max marked, and Auto, which applies
// the automatic stretch the image got when it was opened.
class CStretchDlg : public QDialog {
    Q_OBJECT

public:
    // Slider notifications, numbered as the step table knows them.
    enum HScrollCode {
        SB_LINEUP = 0,
        SB_LINEDOWN = 1,
        SB_PAGEUP = 2,
        SB_PAGEDOWN = 3,
        SB_THUMBPOSITION = 4,
        SB_THUMBTRACK = 5,
        SB_TOP = 6,
        SB_BOTTOM = 7,
        SB_ENDSCROLL = 8,
    };

    explicit CStretchDlg(QWidget* parent = nullptr);
    ~CStretchDlg() override;

    // Puts m_nMin and m_nMax into the edits and sliders and moves the dialog
    // to its saved position (centred over the main window when none is
    // saved). Runs once, before the dialog is first shown.
    void OnInitDialog();
    // One slider notification (pSlider is the slider that sent it).
    void OnHScroll(int nCode, QSlider* pSlider);
    void ApplyMin();
    void ApplyMax();
    // Enter: applies both edits.
    void ApplyBoth();
    // Loads both values from the current document.
    void RefreshFromDocument();
    // Stores the position, releases the toolbar button, marks it closed.
    void SavePosition();
    // The current document changed or closed: enable or disable the dialog,
    // reloading the values when it comes back to life.
    void FollowCurrentDocument();
    // The planes of pDoc's image changed (a filter run, Undo, Redo).
    void OnImageChanged(const CDorvaneDoc* pDoc);
    // Auto: Min and Max from the automatic stretch, applied.
    void OnAuto();

    QSlider* m_sliderMin = nullptr;
    QSlider* m_sliderMax = nullptr;
    QLineEdit* m_editMin = nullptr;
    QLineEdit* m_editMax = nullptr;
    CHistogramStrip* m_pHistogram = nullptr;
    QPushButton* m_buttonAuto = nullptr;
    uint32_t m_nMax = 0;
    uint32_t m_nMin = 0;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Escape closes through the same path as the close box.
    void reject() override;

private:
    CAstroImage* CurrentImage() const;
    uint32_t FullScale() const;
    static uint32_t ReadEdit(const QLineEdit* pEdit);
    void OnSliderAction(QSlider* pSlider, int nAction);
    void SetSliderPositions();
    void RestorePosition();
    void CentreOverMainWindow(const QWidget* pMain);
    void Remap(CAstroImage& image);
    void WritePosition(CDorvaneApp* pApp, bool bUpdateFrame);

    QPointer<CDorvaneToolBar> m_pToolBar;
    bool m_bInitialized = false;
    bool m_bPositionSaved = false;
};
