#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// What an existing path is, symbolic links followed.
enum class EFileKind { Missing, Regular, CharDevice, Other };

// Tells whether a file is still the one that was read: the same file (device
// and inode) with the same size and modification time.
struct CFileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modifiedSeconds = 0;
    int64_t modifiedNanoseconds = 0;
    bool operator==(const CFileStamp&) const = default;
};

// The file system calls the readers and writers make, behind one seam so that
// tests can make any single step fail (running as root, permission bits alone
// cannot block a write). Handles are plain descriptors; -1 means none.
// Every call reports success as true (or a count >= 0) and never throws.
// ReadAt may be called from two threads at once on the same descriptor.
class IFileOps {
public:
    virtual ~IFileOps() = default;

    // Reading.
    virtual int OpenRead(const std::string& path) = 0;
    // Size of the open file in bytes; false when it cannot be told.
    virtual bool Size(int fd, uint64_t& size) = 0;
    // Reads up to size bytes at offset; the count read, 0 at the end, -1 on error.
    virtual int64_t ReadAt(int fd, void* data, std::size_t size, uint64_t offset) = 0;
    virtual bool Stamp(int fd, CFileStamp& stamp) = 0;

    // Writing. Kind and CanWrite look at a target before anything is
    // written; a device is written through OpenDevice, never replaced.
    virtual EFileKind Kind(const std::string& path) = 0;
    // True when the user may write the existing file at path.
    virtual bool CanWrite(const std::string& path) = 0;
    // Opens an existing character device for writing without waiting.
    virtual int OpenDevice(const std::string& path) = 0;
    // CreateExclusive makes a new file that must not exist yet (the
    // usual permission bits, as an ordinary new file would get).
    virtual int CreateExclusive(const std::string& path) = 0;
    // Writes all size bytes or fails.
    virtual bool WriteAll(int fd, const void* data, std::size_t size) = 0;
    // Pushes the file's data to the storage device.
    virtual bool Sync(int fd) = 0;
    // Starts writing the given range to the device without waiting for it, so
    // that the final Sync has little left to do. A hint; it may do nothing.
    virtual void StartWriteback(int /*fd*/, uint64_t /*offset*/, uint64_t /*size*/) {}
    virtual bool Close(int fd) = 0;
    // Replaces to with from in one step.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    virtual bool Remove(const std::string& path) = 0;
    // Pushes a folder's entries (a rename inside it) to the storage device.
    virtual bool SyncFolder(const std::string& folder) = 0;

    // Permission bits (the low 12 bits of the mode) of an existing file;
    // false when there is no such file.
    virtual bool GetMode(const std::string& path, uint32_t& mode) = 0;
    virtual bool SetMode(int fd, uint32_t mode) = 0;
    // Gives the open file the owner and group of the existing file at path,
    // where the system allows it (a file system kept in memory has no owners).
    virtual bool KeepOwner(int /*fd*/, const std::string& /*path*/) { return true; }
    // The path with symbolic links resolved; false when it does not exist.
    virtual bool ResolveLink(const std::string& path, std::string& resolved) = 0;
};
