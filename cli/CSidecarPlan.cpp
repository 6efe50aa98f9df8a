#include "CSidecarPlan.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "CBloomOptions.h"
#include "CFileKey.h"

namespace fs = std::filesystem;

namespace {

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return fs::is_directory(fs::path(path), error);
}

}  // namespace

bool CSidecarPlan::Make(const CBloomOptions& options, const std::vector<std::string>& outputs)
{
    m_masks.clear();
    if (!options.maskDir.empty() && !IsFolder(options.maskDir)) {
        m_error = "--mask-dir must name an existing folder";
        return false;
    }
    if (!options.mask.empty() && IsFolder(options.mask)) {
        m_error = "--mask: " + options.mask + " is a folder; give a file name, or use --mask-dir";
        return false;
    }
    if (!options.report.empty() && IsFolder(options.report)) {
        m_error = "--report: " + options.report + " is a folder; give a file name";
        return false;
    }

    std::set<std::string> images;
    for (const std::string& path : options.inputs)
        images.insert(CFileKey::Of(path));
    for (const std::string& path : outputs)
        images.insert(CFileKey::Of(path));
    std::set<std::string> masks;
    for (const std::string& input : options.inputs) {
        if (!options.mask.empty()) {
            m_masks.push_back(options.mask);
        } else if (!options.maskDir.empty()) {
            const fs::path name = fs::path(input).filename();
            if (name.empty() || name == "." || name == "..") {
                m_error = input + ": no file name to name its mask after";
                return false;
            }
            m_masks.push_back((fs::path(options.maskDir) / (name.string() + ".mask.fits")).string());
        } else {
            continue;
        }
        const std::string key = CFileKey::Of(m_masks.back());
        if (images.count(key)) {
            m_error = m_masks.back() + ": the mask would replace an input or output file";
            return false;
        }
        if (!masks.insert(key).second) {
            m_error = m_masks.back() + ": two input files would write this same mask";
            return false;
        }
    }
    if (!options.report.empty()) {
        const std::string key = CFileKey::Of(options.report);
        if (images.count(key) || masks.count(key)) {
            m_error = options.report + ": the report would replace an input, output or mask file";
            return false;
        }
    }
    return true;
}
