#pragma once
#include <QMdiSubWindow>

class CDorvaneView;
class CImageDocument;

// The window inside the main frame that holds the view of one image. It
// lives as long as its document; closing it closes the document (asking
// first whether to save a modified image, unless that was asked already).
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT

public:
    // Creates the view of pDocument as this window's widget. The frame takes
    // ownership of the document.
    explicit CChildFrame(CImageDocument* pDocument, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CImageDocument* Document() const { return m_pDocument; }
    CDorvaneView* View() const { return m_pView; }

    // Closes without asking whether to save (Close All and Exit, which have
    // asked already).
    void CloseWithoutPrompt();
    // The window title follows the document's title, with "*" after it
    // while the document is modified ("m42.fit*") and " (original)" while
    // the view shows the image as it was before the last filter run.
    void UpdateTitle();
    // That title, with Qt's modified-mark placeholder.
    QString MarkedTitle() const;
    // title with Qt's modified-mark placeholder.
    static QString WithModifiedMark(QString title);
    // True once the window has agreed to close (it is deleted shortly after).
    bool IsClosing() const { return m_bClosing; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CImageDocument* m_pDocument;
    CDorvaneView* m_pView = nullptr;
    bool m_bSkipPrompt = false;
    bool m_bClosing = false;
};
