#pragma once
#include <string>
#include <vector>

// Decides where each input's result goes: the input itself (--in-place), the
// one output file (-o FILE, one input), or a file of the input's name in an
// existing folder (-o FOLDER). Refuses any plan in which an output would
// silently replace an input, or two inputs would write the same file; files
// are compared as files (CFileKey), not as path names.
class COutputPlan {
public:
    // False with m_error set (a usage problem).
    bool Make(const std::vector<std::string>& inputs, const std::string& output, bool inPlace);

    std::vector<std::string> m_outputs;  // one per input, same order
    std::string m_error;
};
