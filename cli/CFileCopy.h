#pragma once
#include <string>
#include <vector>

#include "support/CPosixFileOps.h"

class ICommitQueue;

// Copies a file byte for byte through the core's atomic writer, with the
// save's own messages on failure.
class CFileCopy {
public:
    // With queue, the written copy is handed to it for its flush and rename
    // (see ICommitQueue) instead of being put in place here.
    static bool Copy(const std::string& from, const std::string& to, std::vector<std::string>& messages,
                     IFileOps& files = CPosixFileOps::Instance(), ICommitQueue* queue = nullptr);
};
