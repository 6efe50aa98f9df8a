#include "CRemoveBloomingCommand.h"

#include <QApplication>
#include <QCursor>
#include <new>

#include "CColorParamsDlg.h"
#include "CFilterSettings.h"
#include "CFilterStatusDlg.h"
#include "CMonoParamsDlg.h"
#include "IFilterTarget.h"
#include "filter/CFilterRunRecord.h"
#include "filter/CPlaneFilterRun.h"
#include "image/CAstroImage.h"
#include "support/CSharedState.h"
#include "support/IMessageSink.h"

namespace {

// The busy cursor for as long as the command runs.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

const char* const kPlaneSuffixes[3] = {" in Red plane", " in Green plane", " in Blue plane"};

std::vector<uint32_t>& PlaneOf(CAstroImage& image, int plane)
{
    return plane == 0 ? image.m_red : plane == 1 ? image.m_green : image.m_blue;
}

// The copy Undo needs; without the memory for it the filter does not run.
bool SaveUndoOrReport(CAstroImage& image, IMessageSink& messages)
{
    try {
        image.SaveUndo();
        return true;
    } catch (const std::bad_alloc&) {
        messages.ShowError("Not enough memory to filter the image.");
        return false;
    }
}

}  // namespace

CRemoveBloomingCommand::CRemoveBloomingCommand(ISettings& settings, IMessageSink& messages,
                                               CSharedState& shared)
    : m_settings(settings), m_messages(messages), m_shared(shared)
{
}

bool CRemoveBloomingCommand::Execute(IFilterTarget& active, const std::vector<IFilterTarget*>& others)
{
    if (!active.Image().m_isColor) {
        CMonoParams params;
        {
            CMonoParamsDlg dlg(m_settings, m_messages, m_help, m_pParent);
            if (dlg.exec() != QDialog::Accepted)
                return false;
            params = dlg.Params();
        }
        RunMono(params, active, others);
        return true;
    }
    CColorParams params;
    {
        CColorParamsDlg dlg(m_settings, m_messages, m_pParent);
        if (dlg.exec() != QDialog::Accepted)
            return false;
        params = dlg.Params();
    }
    RunColor(params, active);
    return true;
}

void CRemoveBloomingCommand::RunMono(const CMonoParams& params, IFilterTarget& active,
                                     const std::vector<IFilterTarget*>& others)
{
    CFilterSettings::WriteMono(m_settings, params);
    CWaitCursor wait;
    CAstroImage& image = active.Image();
    if (!SaveUndoOrReport(image, m_messages))
        return;
    auto record = StartRecord(image, params.m_bMirror);
    const bool ran = FilterPlane(active, 0, params.m_plane, params.m_bMirror, "", record.get());
    active.RecordRun(ran ? std::move(record) : nullptr);
    image.UpdateDisplay();
    MarkFiltered(active);
    active.Repaint();
    if (ran && params.m_bProcessAll) {
        for (IFilterTarget* other : others) {
            if (other == &active)
                continue;
            if (!SaveUndoOrReport(other->Image(), m_messages))
                break;
            // A colour image among them has each of its planes filtered with
            // the same values: filtering one plane alone would leave the
            // trails in the colours of the other two.
            bool otherRan = true;
            auto otherRecord = StartRecord(other->Image(), params.m_bMirror);
            if (other->Image().m_isColor) {
                for (int plane = 0; plane < 3 && otherRan; ++plane)
                    otherRan = FilterPlane(*other, plane, params.m_plane, params.m_bMirror, kPlaneSuffixes[plane],
                                           otherRecord.get());
            } else {
                otherRan = FilterPlane(*other, 0, params.m_plane, params.m_bMirror, "", otherRecord.get());
            }
            other->RecordRun(otherRan ? std::move(otherRecord) : nullptr);
            other->Image().UpdateDisplay();
            MarkFiltered(*other);
            other->Repaint();
            if (!otherRan)
                break;
        }
    }
    ClearRegion();
}

void CRemoveBloomingCommand::RunColor(const CColorParams& params, IFilterTarget& active)
{
    CFilterSettings::WriteColor(m_settings, params);
    CWaitCursor wait;
    CAstroImage& image = active.Image();
    if (!SaveUndoOrReport(image, m_messages))
        return;
    auto record = StartRecord(image, params.m_bMirror);
    bool ran = true;
    for (int plane = 0; plane < 3 && ran; ++plane)
        ran = !params.m_bPlaneOn[plane] ||
              FilterPlane(active, plane, params.m_planes[plane], params.m_bMirror, kPlaneSuffixes[plane], record.get());
    active.RecordRun(ran ? std::move(record) : nullptr);
    image.UpdateDisplay();
    MarkFiltered(active);
    ClearRegion();
    active.Repaint();
}

std::unique_ptr<CFilterRunRecord> CRemoveBloomingCommand::StartRecord(const CAstroImage& image, bool mirror) const
{
    return std::make_unique<CFilterRunRecord>(CFilterRunRecord::Start(image, m_shared, mirror));
}

bool CRemoveBloomingCommand::FilterPlane(IFilterTarget& target, int plane, const CPlaneParams& params,
                                         bool mirror, const char* suffix, CFilterRunRecord* record)
{
    CAstroImage& image = target.Image();
    std::unique_ptr<IFilterStatus> status =
        m_statusFactory ? m_statusFactory() : std::make_unique<CFilterStatusDlg>(m_pParent);
    try {
        const CPlaneFilterRun::SParameters parameters{params.m_nIntensity, static_cast<int32_t>(params.m_nLength),
                                                      static_cast<int32_t>(params.m_nWidth)};
        CPlaneFilterRun::Run(image, PlaneOf(image, plane), plane, parameters, mirror, suffix, m_shared,
                             status.get(), 0, &record->planes.emplace_back());
    } catch (const std::bad_alloc&) {
        // The plane keeps what the stages already done changed; Undo brings
        // back the snapshot.
        m_messages.ShowError("Not enough memory to filter the image.");
        return false;
    }
    return true;
}

void CRemoveBloomingCommand::MarkFiltered(IFilterTarget& target)
{
    target.SetUndoState(true, false);
    target.SetModified();
}

void CRemoveBloomingCommand::ClearRegion()
{
    if (!m_shared.m_bRegionSet)
        return;
    m_shared.m_bRegionSet = false;
    if (m_onRegionCleared)
        m_onRegionCleared();
}
