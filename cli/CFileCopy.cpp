#include "CFileCopy.h"

#include "support/CAtomicFileWriter.h"
#include "support/CBinaryFileReader.h"
#include "support/CSaveMessages.h"

bool CFileCopy::Copy(const std::string& from, const std::string& to, std::vector<std::string>& messages)
{
    CBinaryFileReader reader;
    if (!reader.Open(from)) {
        messages.push_back("Failed to open file.");
        return false;
    }
    CAtomicFileWriter writer;
    if (!writer.Begin(to)) {
        messages.push_back(CSaveMessages::Text(writer.BeginFailure(), false));
        return false;
    }
    std::vector<char> block(std::size_t(4) << 20);
    for (;;) {
        std::size_t got = reader.Read(block.data(), block.size());
        if (got == 0)
            break;
        if (!writer.Write(block.data(), got)) {
            messages.push_back(CSaveMessages::Text(ESaveStep::ImageData, false));
            return false;
        }
    }
    if (reader.HadError()) {
        messages.push_back("Failed to read file.");
        return false;
    }
    reader.Close();
    if (!writer.Commit()) {
        messages.push_back(CSaveMessages::Text(ESaveStep::Close, false));
        return false;
    }
    return true;
}
