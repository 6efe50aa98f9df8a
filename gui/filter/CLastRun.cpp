#include "CLastRun.h"

#include "filter/CFilterRunRecord.h"
#include "filter/CReplacedPixelRuns.h"

CLastRun::CLastRun() = default;
CLastRun::~CLastRun() = default;

void CLastRun::Set(std::unique_ptr<CFilterRunRecord> record, const std::string& sourceName)
{
    m_pRecord = std::move(record);
    m_pRuns.reset();
    m_strSourceName = sourceName;
    m_bUndone = false;
}

const CReplacedPixelRuns* CLastRun::Runs()
{
    if (!m_pRuns && m_pRecord)
        m_pRuns = std::make_unique<CReplacedPixelRuns>(*m_pRecord);
    return m_pRuns.get();
}
