#pragma once
#include "IFileOps.h"

// IFileOps on the POSIX calls of the running system.
class CPosixFileOps : public IFileOps {
public:
    // The one instance the program uses unless a test hands in its own.
    static CPosixFileOps& Instance();

    int OpenRead(const std::string& path) override;
    bool Size(int fd, uint64_t& size) override;
    int64_t ReadAt(int fd, void* data, std::size_t size, uint64_t offset) override;
    bool Stamp(int fd, CFileStamp& stamp) override;
    EFileKind Kind(const std::string& path) override;
    bool CanWrite(const std::string& path) override;
    int OpenDevice(const std::string& path) override;
    int CreateExclusive(const std::string& path) override;
    bool WriteAll(int fd, const void* data, std::size_t size) override;
    bool Sync(int fd) override;
    void StartWriteback(int fd, uint64_t offset, uint64_t size) override;
    bool Close(int fd) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool Remove(const std::string& path) override;
    bool SyncFolder(const std::string& folder) override;
    bool GetMode(const std::string& path, uint32_t& mode) override;
    bool SetMode(int fd, uint32_t mode) override;
    bool KeepOwner(int fd, const std::string& path) override;
    bool ResolveLink(const std::string& path, std::string& resolved) override;
};
