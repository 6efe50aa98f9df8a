#include "COutputPlan.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "CFileKey.h"

namespace fs = std::filesystem;

bool COutputPlan::Make(const std::vector<std::string>& inputs, const std::string& output, bool inPlace)
{
    m_outputs.clear();
    std::error_code error;
    const bool toFolder = !inPlace && fs::is_directory(fs::path(output), error);
    if (!inPlace && !toFolder && inputs.size() > 1) {
        m_error = "--output must name an existing folder when there are several input files";
        return false;
    }
    for (const std::string& input : inputs) {
        if (inPlace) {
            m_outputs.push_back(input);
        } else if (toFolder) {
            fs::path name = fs::path(input).filename();
            if (name.empty() || name == "." || name == "..") {
                m_error = input + ": no file name to write into the output folder";
                return false;
            }
            m_outputs.push_back((fs::path(output) / name).string());
        } else {
            m_outputs.push_back(output);
        }
    }

    std::map<std::string, std::size_t> inputKeys;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        auto [it, added] = inputKeys.emplace(CFileKey::Of(inputs[i]), i);
        if (!added && inPlace) {
            m_error = inputs[i] + ": the same file is named twice";
            return false;
        }
    }
    std::map<std::string, std::size_t> outputKeys;
    for (std::size_t i = 0; i < inputs.size() && !inPlace; ++i) {
        const std::string key = CFileKey::Of(m_outputs[i]);
        if (inputKeys.count(key)) {
            m_error = m_outputs[i] + ": the output would replace an input file; use --in-place to rewrite inputs";
            return false;
        }
        if (!outputKeys.emplace(key, i).second) {
            m_error = m_outputs[i] + ": two input files would write this same output";
            return false;
        }
    }
    return true;
}
