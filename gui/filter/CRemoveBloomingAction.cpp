#include "CRemoveBloomingAction.h"

#include <QAction>
#include <memory>
#include <vector>

#include "CChildFrameFilterTarget.h"
#include "CRemoveBloomingCommand.h"
#include "app/CChildFrame.h"
#include "app/CDorvaneApp.h"
#include "app/CDorvaneDocTemplate.h"
#include "app/CMainFrame.h"
#include "app/Resource.h"
#include "view/CDorvaneView.h"

void CRemoveBloomingAction::Connect(CMainFrame& frame)
{
    if (QAction* action = frame.CommandAction(DorvaneIds::ID_REMOVE_BLOOMING))
        QObject::connect(action, &QAction::triggered, &frame, [] { OnRemoveBlooming(); });
}

void CRemoveBloomingAction::OnRemoveBlooming()
{
    CDorvaneApp* app = CDorvaneApp::Instance();
    if (!app || !app->m_pMainFrame)
        return;
    CChildFrame* activeFrame = app->m_pMainFrame->ActiveChild();
    if (!activeFrame)
        return;

    // Every other open image, oldest first, for "Process all open images.".
    std::vector<std::unique_ptr<CChildFrameFilterTarget>> others;
    std::vector<IFilterTarget*> otherTargets;
    if (app->DocTemplate()) {
        for (CChildFrame* frame : app->DocTemplate()->Frames()) {
            if (frame == activeFrame)
                continue;
            others.push_back(std::make_unique<CChildFrameFilterTarget>(*frame));
            otherTargets.push_back(others.back().get());
        }
    }
    CChildFrameFilterTarget active(*activeFrame);

    CRemoveBloomingCommand command(app->Settings(), app->Messages(), app->m_shared);
    command.SetParentWidget(app->m_pMainFrame);
    command.SetHelp([app](uint32_t context) { app->WinHelp(context, DorvaneIds::HELP_CONTEXT); });
    // Every view draws the region's outline: erase it everywhere.
    command.SetRegionCleared([] { CDorvaneView::RepaintAllViews(); });
    command.Execute(active, otherTargets);
    app->m_pMainFrame->UpdateCommandStates();
}
