#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "CPosixFileOps.h"

// Reads a file in whole blocks. The file's size is taken when it is opened, so
// a reader can check that the data a header announces is really there before
// it allocates anything. Read moves a position; ReadAt does not and may be
// called from two threads at once (for split plane reads).
//
//     CBinaryFileReader reader(m_fileOps);
//     if (!reader.Open(path))                  -> "Failed to open file."
//     reader.ReadExact(header, 2048)           -> false when the file is shorter
//     if (reader.Remaining() < dataBytes)      -> truncated file
//     reader.ReadExactAt(buf, n, offset)       -> block reads, any thread
//     if (!reader.Close())                     -> "Failed to close file."
class CBinaryFileReader {
public:
    explicit CBinaryFileReader(IFileOps& ops = CPosixFileOps::Instance());
    ~CBinaryFileReader();
    CBinaryFileReader(const CBinaryFileReader&) = delete;
    CBinaryFileReader& operator=(const CBinaryFileReader&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return m_fd >= 0; }
    uint64_t Size() const { return m_size; }
    uint64_t Position() const { return m_position; }
    uint64_t Remaining() const { return m_position < m_size ? m_size - m_position : 0; }

    // Reads up to size bytes at the position and advances it by the count
    // read; fewer bytes only at the end of the file or on a read error.
    std::size_t Read(void* data, std::size_t size);
    // Reads exactly size bytes at the position, or fails.
    bool ReadExact(void* data, std::size_t size);
    // Reads exactly size bytes at offset, leaving the position alone.
    bool ReadExactAt(void* data, std::size_t size, uint64_t offset) const;
    void Skip(uint64_t bytes) { m_position += bytes; }
    // Identity, size and modification time of the open file.
    bool Stamp(CFileStamp& stamp) const { return m_fd >= 0 && m_ops.Stamp(m_fd, stamp); }
    // True when a read has failed (not merely reached the end of the file).
    bool HadError() const { return m_error; }

    // True when the file was open and closed cleanly.
    bool Close();

private:
    IFileOps& m_ops;
    int m_fd = -1;
    uint64_t m_size = 0;
    uint64_t m_position = 0;
    bool m_error = false;
};
