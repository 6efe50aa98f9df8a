#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "CFilterParams.h"

class CAstroImage;
class IFilterStatus;
struct CFilterRunRecord;
class IFilterTarget;
class IMessageSink;
class ISettings;
class QWidget;
struct CSharedState;

// Filter > Remove Blooming on the active image: asks for the parameters in
// the dialog that suits the image, stores them, takes the undo snapshot, runs
// the filter on the chosen planes (for a monochrome image optionally on every
// other open image too, each plane of a colour one), rebuilds the display,
// enables Undo, marks the document modified, repaints and clears the
// FilterRegion.
class CRemoveBloomingCommand {
public:
    using HelpRequest = std::function<void(uint32_t context)>;
    // Makes the status display of one plane run.
    using StatusFactory = std::function<std::unique_ptr<IFilterStatus>()>;

    CRemoveBloomingCommand(ISettings& settings, IMessageSink& messages, CSharedState& shared);

    // Owner of the dialogs and of the status windows.
    void SetParentWidget(QWidget* parent) { m_pParent = parent; }
    void SetHelp(HelpRequest help) { m_help = std::move(help); }
    void SetStatusFactory(StatusFactory factory) { m_statusFactory = std::move(factory); }
    // Called once the FilterRegion has been cleared, to erase its outline.
    void SetRegionCleared(std::function<void()> onCleared) { m_onRegionCleared = std::move(onCleared); }

    // The whole command. others are the other open images, in the order they
    // were opened. False when the dialog was cancelled (nothing changed).
    bool Execute(IFilterTarget& active, const std::vector<IFilterTarget*>& others);

    // The command after a confirmed dialog.
    void RunMono(const CMonoParams& params, IFilterTarget& active,
                 const std::vector<IFilterTarget*>& others);
    void RunColor(const CColorParams& params, IFilterTarget& active);

private:
    // Runs one plane, adding it to record; false (reported) when memory ran
    // out.
    bool FilterPlane(IFilterTarget& target, int plane, const CPlaneParams& params, bool mirror,
                     const char* suffix, CFilterRunRecord* record);
    // The record of a run on image with the FilterRegion as it is now.
    std::unique_ptr<CFilterRunRecord> StartRecord(const CAstroImage& image, bool mirror) const;
    void MarkFiltered(IFilterTarget& target);
    void ClearRegion();

    ISettings& m_settings;
    IMessageSink& m_messages;
    CSharedState& m_shared;
    QWidget* m_pParent = nullptr;
    HelpRequest m_help;
    StatusFactory m_statusFactory;
    std::function<void()> m_onRegionCleared;
};
