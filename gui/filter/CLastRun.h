#pragma once
#include <memory>
#include <string>

struct CFilterRunRecord;
class CReplacedPixelRuns;

// The last Remove Blooming run on one image, as the desktop program keeps
// it: what the run did, whether Undo has taken it back (the picture then
// shows the image from before it), and its replaced pixels ready for drawing.
class CLastRun {
public:
    CLastRun();
    ~CLastRun();
    CLastRun(const CLastRun&) = delete;
    CLastRun& operator=(const CLastRun&) = delete;

    // A new run (null: none, as after a run that failed). sourceName: the
    // image's file name at the time.
    void Set(std::unique_ptr<CFilterRunRecord> record, const std::string& sourceName);
    // Undo (true) and Redo (false) of the run.
    void SetUndone(bool undone) { m_bUndone = undone; }

    const CFilterRunRecord* Record() const { return m_pRecord.get(); }
    const std::string& SourceName() const { return m_strSourceName; }
    // The picture shows the run's result.
    bool IsShown() const { return m_pRecord && !m_bUndone; }
    // The replaced pixels for drawing, made on first use; null without a run.
    const CReplacedPixelRuns* Runs();

private:
    std::unique_ptr<CFilterRunRecord> m_pRecord;
    std::unique_ptr<CReplacedPixelRuns> m_pRuns;
    std::string m_strSourceName;
    bool m_bUndone = false;
};
