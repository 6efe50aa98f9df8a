#pragma once
#include <QPointer>
#include <QWidget>

class CChildFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// View > Header...: the active image's header as its file holds it, one FITS
// card or SBIG line a line, read-only in a monospaced font so that the
// columns line up. Text typed into the find box is highlighted wherever it
// occurs (letter case aside); Enter moves to the next match.
class CHeaderWnd : public QWidget {
    Q_OBJECT

public:
    explicit CHeaderWnd(QWidget* pParent);

    // Lists the header of pFrame's image (nothing for null). The same window
    // again changes nothing, so that the find position stays.
    void Follow(CChildFrame* pFrame);

    QPlainTextEdit* Text() const { return m_pText; }
    QLineEdit* FindBox() const { return m_pFind; }
    int MatchCount() const { return m_nMatches; }

private:
    void Highlight();
    void FindNext();

    QPlainTextEdit* m_pText;
    QLineEdit* m_pFind;
    QLabel* m_pFound;
    QPointer<CChildFrame> m_pFrame;
    bool m_bFollowed = false;
    int m_nMatches = 0;
};
