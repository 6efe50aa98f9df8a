#pragma once
#include <QWidget>
#include <cstdint>

class QTextBrowser;

// The program's help: one window that shows the help pages from the
// resources. Each help context opens its own section.
class CHelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget* pParent = nullptr);

    // Shows the window at the section of contextId; 0 (or an unknown id)
    // shows the contents.
    void ShowContext(uint32_t contextId);
    // The section anchor of a context id.
    static QString AnchorForContext(uint32_t contextId);
    QTextBrowser* Browser() const { return m_pBrowser; }

private:
    QTextBrowser* m_pBrowser;
    bool m_bPlaced = false;
};
