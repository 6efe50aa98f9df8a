#pragma once
#include <string>
#include <vector>

// Copies a file byte for byte through the core's atomic writer, with the
// save's own messages on failure.
class CFileCopy {
public:
    static bool Copy(const std::string& from, const std::string& to, std::vector<std::string>& messages);
};
