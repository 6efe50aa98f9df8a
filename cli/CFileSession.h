#pragma once
#include <string>
#include <vector>

#include "image/CDorvaneDoc.h"
#include "support/CCollectingMessageSink.h"
#include "support/CMemorySettings.h"
#include "support/CPosixFileOps.h"
#include "support/CSharedState.h"

// Everything one file needs while the command line works on it: its own
// shared state, message sink, settings and document, so that files processed
// at the same time share nothing.
class CFileSession {
public:
    // displayBpp: 24 when the display pixels are wanted, 0 when they are not
    // (the open then skips building them). files: the file layer the image
    // reads and writes through.
    explicit CFileSession(int32_t displayBpp, IFileOps& files = CPosixFileOps::Instance());

    // True when the file was opened; otherwise Failure() tells why.
    bool Open(const std::string& path);
    // True when the document saved the image to path.
    bool Save(const std::string& path);
    // The core's messages of the last failure, in order; a text of our own
    // when the core refused the file without one (a file name it does not know).
    std::vector<std::string> Failure() const;

    CSharedState m_shared;
    CCollectingMessageSink m_messages;
    CMemorySettings m_settings;
    CDorvaneDoc m_doc;
};
