#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "support/IFileOps.h"

class CAtomicFileWriter;
class CBinaryFileReader;

// The bytes that follow the last plane of a FITS file, which a save writes
// back unchanged. Almost always they are the data's padding to a whole
// 2880-byte block, and they are held in memory. A longer trailer (a following
// extension, or gigabytes of anything) is not read at all: a save copies it
// from the file it came from, once it has checked that the file is still the
// one that was read (same file, size and modification time).
class CFitsTrailer {
public:
    // Longest trailer held in memory.
    static constexpr uint64_t kHeldBytes = uint64_t(1) << 20;

    // Takes the trailer from the reader's position to the end of the file
    // at path. False when a read failed.
    bool Read(CBinaryFileReader& reader, const std::string& path);

    enum class EWrite { Written, WriteFailed, SourceChanged };
    // Writes the trailer's bytes through writer.
    EWrite WriteTo(CAtomicFileWriter& writer, IFileOps& ops) const;
    // A save wrote the trailer into savedPath at writtenAt (the header may
    // have grown). When that replaced the file the trailer is copied from,
    // the new file is taken as the unchanged source from now on.
    void FollowSave(const std::string& savedPath, IFileOps& ops, uint64_t writtenAt);

    uint64_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    bool IsHeld() const { return m_size == m_bytes.size(); }
    const std::vector<uint8_t>& HeldBytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;  // the whole trailer when it is held
    uint64_t m_size = 0;
    // Where a trailer that is not held is copied from.
    std::string m_sourcePath;
    uint64_t m_offset = 0;
    CFileStamp m_sourceStamp;
};
