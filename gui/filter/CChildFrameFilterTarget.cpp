#include "CChildFrameFilterTarget.h"

#include <QFileInfo>

#include "app/CChildFrame.h"
#include "app/CImageDocument.h"
#include "filter/CFilterRunRecord.h"
#include "image/CAstroImage.h"
#include "image/CDorvaneDoc.h"
#include "view/CDorvaneView.h"

CAstroImage& CChildFrameFilterTarget::Image()
{
    return *m_frame.Document()->Core()->m_pImage;
}

void CChildFrameFilterTarget::SetUndoState(bool canUndo, bool canRedo)
{
    m_frame.View()->SetUndoState(canUndo, canRedo);
}

void CChildFrameFilterTarget::SetModified()
{
    m_frame.Document()->SetModifiedFlag(true);
    m_frame.UpdateTitle();
}

void CChildFrameFilterTarget::Repaint()
{
    // The paint rebuilds the picture from the display buffer just remapped.
    m_frame.View()->viewport()->repaint();
}

void CChildFrameFilterTarget::RecordRun(std::unique_ptr<CFilterRunRecord> record)
{
    CImageDocument* document = m_frame.Document();
    document->LastRun().Set(std::move(record), QFileInfo(document->GetPathName()).fileName().toStdString());
}
