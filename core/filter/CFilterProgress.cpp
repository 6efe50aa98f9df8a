#include "filter/CFilterProgress.h"

CFilterProgress::~CFilterProgress()
{
    Close();
}

void CFilterProgress::Open(const std::string& suffix)
{
    if (m_pStatus)
        m_pStatus->Open(suffix);
    m_bOpen = true;
}

void CFilterProgress::Position(int position)
{
    if (position == m_nPosition)
        return;
    m_nPosition = position;
    if (m_pStatus)
        m_pStatus->SetProgress(position);
}

void CFilterProgress::DetectionColumn(int position, int count)
{
    if (position == m_nPosition)
        return;
    Position(position);
    m_nDetected = count;
    if (m_pStatus)
        m_pStatus->ShowDetectedCount(count);
}

void CFilterProgress::DetectionEnd(int count)
{
    if (count == m_nDetected)
        return;
    m_nDetected = count;
    if (m_pStatus)
        m_pStatus->ShowDetectedCount(count);
}

void CFilterProgress::LengthColumn(int position, int count)
{
    if (position == m_nPosition)
        return;
    m_nLengthChecked = count;
    if (m_pStatus)
        m_pStatus->ShowLengthCheckCount(count);
    Position(position);
}

void CFilterProgress::LengthEnd(int count)
{
    if (count == m_nLengthChecked)
        return;
    m_nLengthChecked = count;
    if (m_pStatus)
        m_pStatus->ShowLengthCheckCount(count);
}

void CFilterProgress::Reveal(IFilterStatus::ELine line)
{
    if (m_pStatus)
        m_pStatus->RevealLine(line);
}

void CFilterProgress::Close()
{
    if (!m_bOpen)
        return;
    m_bOpen = false;
    if (m_pStatus)
        m_pStatus->Close();
}
