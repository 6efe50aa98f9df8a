#include "CReplacedPixelsAction.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <ctime>

#include "app/CChildFrame.h"
#include "app/CDorvaneApp.h"
#include "app/CFileFilters.h"
#include "app/CImageDocument.h"
#include "app/CMainFrame.h"
#include "app/CWaitCursor.h"
#include "app/Resource.h"
#include "filter/CFilterRunRecord.h"
#include "image/CFitsCard.h"
#include "image/CFitsMaskWriter.h"
#include "support/IMessageSink.h"
#include "view/CDorvaneView.h"

using namespace DorvaneIds;

namespace {

CLastRun* ActiveLastRun(const CMainFrame& frame)
{
    CChildFrame* child = frame.ActiveChild();
    return child && child->Document() ? &child->Document()->LastRun() : nullptr;
}

}  // namespace

void CReplacedPixelsAction::Connect(CMainFrame& frame)
{
    if (QAction* action = frame.CommandAction(ID_VIEW_REPLACED_PIXELS))
        QObject::connect(action, &QAction::triggered, &frame, [&frame] { OnShowReplacedPixels(frame); });
    if (QAction* action = frame.CommandAction(ID_FILE_SAVE_MASK))
        QObject::connect(action, &QAction::triggered, &frame, [&frame] { OnSaveMask(frame); });
}

void CReplacedPixelsAction::UpdateStates(CMainFrame& frame)
{
    const CLastRun* lastRun = ActiveLastRun(frame);
    const bool shown = lastRun && lastRun->IsShown();
    if (QAction* show = frame.CommandAction(ID_VIEW_REPLACED_PIXELS)) {
        show->setEnabled(shown);
        show->setChecked(shown && frame.m_bShowReplacedPixels);
    }
    if (QAction* save = frame.CommandAction(ID_FILE_SAVE_MASK))
        save->setEnabled(lastRun && lastRun->Record());
}

void CReplacedPixelsAction::OnShowReplacedPixels(CMainFrame& frame)
{
    const CLastRun* lastRun = ActiveLastRun(frame);
    if (lastRun && lastRun->IsShown())
        frame.m_bShowReplacedPixels = !frame.m_bShowReplacedPixels;
    CDorvaneView::RepaintAllViews();
    frame.UpdateCommandStates();
}

void CReplacedPixelsAction::OnSaveMask(CMainFrame& frame)
{
    CDorvaneApp* app = CDorvaneApp::Instance();
    CChildFrame* child = frame.ActiveChild();
    CImageDocument* document = child ? child->Document() : nullptr;
    const CFilterRunRecord* record = document ? document->LastRun().Record() : nullptr;
    if (!app || !record)
        return;
    QString path;
    if (!app->Dialogs().GetSaveFileName(&frame, document->GetPathName() + QStringLiteral(".mask.fits"),
                                        CFileFilters::Fits(), path))
        return;
    path = QFileInfo(CFileFilters::WithOwnExtension(path, true)).absoluteFilePath();
    // The mask never replaces the image it describes (whose unsaved changes
    // may exist only in memory).
    const QFileInfo target(path);
    if (target.exists() && target.canonicalFilePath() == QFileInfo(document->GetPathName()).canonicalFilePath()) {
        app->Messages().ShowError("Choose another file: the mask would replace the image.");
        return;
    }
    const CFitsMaskWriter::SFacts facts{document->LastRun().SourceName(), "Dorvane",
                                        QCoreApplication::applicationVersion().toStdString(),
                                        CFitsCard::UtcDate(std::time(nullptr))};
    CWaitCursor busy;
    CFitsMaskWriter::Write(path.toStdString(), *record, facts, app->Messages());
}
