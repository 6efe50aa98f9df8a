#pragma once
#include <QString>
#include <memory>

#include "filter/CLastRun.h"

class CDorvaneDoc;
class CDorvaneApp;

// The desktop program's document for one image file: wraps the core
// document (which reads and writes the image) and adds what the window
// system needs: the path, the title, the modified flag, Save and Save As.
class CImageDocument {
public:
    explicit CImageDocument(CDorvaneApp& app);
    ~CImageDocument();
    CImageDocument(const CImageDocument&) = delete;
    CImageDocument& operator=(const CImageDocument&) = delete;

    // The desktop document that wraps pDoc, or null.
    static CImageDocument* FromCore(const CDorvaneDoc* pDoc);

    // Reads the file; on success the path and the title are set.
    bool OnOpenDocument(const QString& path);
    // Writes the image to path in its own format; on success the path, the
    // title and the recent-file list follow and the modified flag clears.
    bool DoSave(const QString& path);
    // Save: to the document's path, or through Save As when that file is
    // read-only.
    bool DoFileSave();
    // Save As: asks for the path first.
    bool DoFileSaveAs();
    // Asks whether to save a modified document. False when the user cancels
    // or the save fails.
    bool SaveModified();

    CDorvaneDoc* Core() const { return m_pDoc.get(); }
    const QString& GetPathName() const { return m_strPathName; }
    const QString& GetTitle() const { return m_strTitle; }
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool bModified = true) { m_bModified = bModified; }
    // The last Remove Blooming run on this image.
    CLastRun& LastRun() { return m_lastRun; }

private:
    void SetPathName(const QString& path);

    CDorvaneApp& m_app;
    std::unique_ptr<CDorvaneDoc> m_pDoc;
    QString m_strPathName;
    QString m_strTitle;
    bool m_bModified = false;
    CLastRun m_lastRun;
};
