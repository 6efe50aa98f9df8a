#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "CPosixFileOps.h"
#include "CSaveMessages.h"

// Writes a file so that the target is either replaced whole or left exactly as
// it was: the bytes go to a new temporary file in the target's folder, which is
// flushed to the device, closed and then renamed over the target. The target's
// permission bits (and, where the system allows, its owner) are kept. Any
// failure removes the temporary file, and a new writer can simply try again.
// While it exists, the temporary file is recorded in CTempFileRegistry, so
// that a process ended by a signal removes it.
//
// Only a regular file (or a path where nothing is yet) is ever replaced. A
// file the user may not write is refused, as the rename itself would need
// only the folder's permission. A character device (/dev/null) is written
// straight through and never replaced; anything else (a pipe, a folder) is
// refused before anything is opened, so nothing waits for a reader.
//
// Usage (an image writer; each failed call maps to one message, see
// CSaveMessages):
//
//     CAtomicFileWriter writer(m_fileOps);
//     if (!writer.Begin(path))                      -> writer.BeginFailure()
//     if (!writer.Write(header.data(), n))          -> ESaveStep::Header
//     if (!writer.Write(planeChunk, chunkBytes))    -> ESaveStep::ImageData
//     if (!writer.Commit())                         -> ESaveStep::Close
//
// Returning early after a failure is enough: the destructor removes the
// temporary file of a writer that was not committed. Write sends the bytes
// straight to the file (no buffering), so pass large blocks.
class CAtomicFileWriter {
public:
    explicit CAtomicFileWriter(IFileOps& ops = CPosixFileOps::Instance());
    ~CAtomicFileWriter();
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;

    // Creates the temporary file next to targetPath (next to the file a
    // symbolic link points to, so that the link stays a link).
    bool Begin(const std::string& targetPath);
    // Why Begin failed: Create, or one of the target's refusals.
    ESaveStep BeginFailure() const { return m_beginFailure; }
    bool Write(const void* data, std::size_t size);
    // Flush, close, rename over the target.
    bool Commit();
    // Drops the temporary file; the target is untouched.
    void Abandon();

    const std::string& TempPath() const { return m_tempPath; }

private:
    bool Refuse(ESaveStep why);
    bool BeginDevice();
    bool CreateTemporary();
    void ReleaseTemporary();

    IFileOps& m_ops;
    std::string m_finalPath;
    std::string m_tempPath;
    int m_fd = -1;
    int m_registrySlot = -1;  // the temporary file's slot in CTempFileRegistry
    bool m_failed = false;
    bool m_direct = false;     // writing straight into a device
    ESaveStep m_beginFailure = ESaveStep::Create;
    uint64_t m_written = 0;    // bytes written so far
    uint64_t m_writeback = 0;  // bytes handed to the device so far
};
