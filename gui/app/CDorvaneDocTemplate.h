#pragma once
#include <QList>
#include <QString>

class CChildFrame;
class CDorvaneApp;
class CDorvaneDoc;
class CImageDocument;

// Binds the document, its image window and its view: opens a file into a new
// window, finds the window of a file already open, and closes documents.
class CDorvaneDocTemplate {
public:
    explicit CDorvaneDocTemplate(CDorvaneApp& app);

    // Brings the window of a file already open to the front; otherwise opens
    // the file in a new image window and adds it to the recent-file list.
    // Null when the file did not open (its messages have been shown).
    CImageDocument* OpenDocumentFile(const QString& path);

    // The open image windows, oldest first, without those being closed.
    QList<CChildFrame*> Frames() const;
    CChildFrame* FindFrame(const QString& path) const;
    CChildFrame* FindFrame(const CDorvaneDoc* pDoc) const;

    // Closes every document without asking whether to save (the callers
    // have asked through SaveAllModified).
    void CloseAllDocuments();
    // Asks about each modified document; false when the user cancels.
    bool SaveAllModified();
    // Repaints the views of pDoc after its image changed.
    void UpdateAllViews(const CDorvaneDoc* pDoc);

private:
    CDorvaneApp& m_app;
};
