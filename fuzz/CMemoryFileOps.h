#pragma once
// A file system held in memory, so that a fuzz input reaches the readers
// without touching the disk: one read-only file with the input's bytes, and
// whatever the writers create. Only what the readers and the atomic writer
// call is implemented.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/IFileOps.h"

class CMemoryFileOps : public IFileOps {
public:
    void Put(const std::string& path, const uint8_t* data, std::size_t size)
    {
        m_files[path].assign(data, data + size);
    }
    const std::vector<uint8_t>* Find(const std::string& path) const
    {
        auto it = m_files.find(path);
        return it == m_files.end() ? nullptr : &it->second;
    }
    std::size_t FileCount() const { return m_files.size(); }

    int OpenRead(const std::string& path) override
    {
        if (m_files.count(path) == 0)
            return -1;
        return Attach(path);
    }
    bool Size(int fd, uint64_t& size) override
    {
        const std::vector<uint8_t>* file = FileOf(fd);
        if (file == nullptr)
            return false;
        size = file->size();
        return true;
    }
    int64_t ReadAt(int fd, void* data, std::size_t size, uint64_t offset) override
    {
        const std::vector<uint8_t>* file = FileOf(fd);
        if (file == nullptr)
            return -1;
        if (offset >= file->size())
            return 0;
        const std::size_t n = std::min<uint64_t>(size, file->size() - offset);
        std::memcpy(data, file->data() + offset, n);
        return static_cast<int64_t>(n);
    }
    bool Stamp(int fd, CFileStamp& stamp) override
    {
        const std::vector<uint8_t>* file = FileOf(fd);
        if (file == nullptr)
            return false;
        stamp = CFileStamp{};
        stamp.inode = std::hash<std::string>()(m_open.at(fd));
        stamp.size = file->size();
        return true;
    }
    EFileKind Kind(const std::string& path) override
    {
        return m_files.count(path) != 0 ? EFileKind::Regular : EFileKind::Missing;
    }
    bool CanWrite(const std::string&) override { return true; }
    int OpenDevice(const std::string&) override { return -1; }
    int CreateExclusive(const std::string& path) override
    {
        if (m_files.count(path) != 0)
            return -1;
        m_files[path];
        return Attach(path);
    }
    bool WriteAll(int fd, const void* data, std::size_t size) override
    {
        auto it = m_open.find(fd);
        if (it == m_open.end())
            return false;
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        std::vector<uint8_t>& file = m_files[it->second];
        file.insert(file.end(), bytes, bytes + size);
        return true;
    }
    bool Sync(int fd) override { return m_open.count(fd) != 0; }
    bool Close(int fd) override { return m_open.erase(fd) != 0; }
    bool Rename(const std::string& from, const std::string& to) override
    {
        auto it = m_files.find(from);
        if (it == m_files.end())
            return false;
        std::vector<uint8_t> bytes = std::move(it->second);
        m_files.erase(it);
        m_files[to] = std::move(bytes);
        return true;
    }
    bool Remove(const std::string& path) override { return m_files.erase(path) != 0; }
    bool SyncFolder(const std::string&) override { return true; }
    bool GetMode(const std::string& path, uint32_t& mode) override
    {
        mode = 0644;
        return m_files.count(path) != 0;
    }
    bool SetMode(int fd, uint32_t) override { return m_open.count(fd) != 0; }
    bool ResolveLink(const std::string& path, std::string& resolved) override
    {
        if (m_files.count(path) == 0)
            return false;
        resolved = path;
        return true;
    }

private:
    int Attach(const std::string& path)
    {
        const int fd = m_nextFd++;
        m_open[fd] = path;
        return fd;
    }
    // Only the reading thread pair calls this while the map stays unchanged.
    const std::vector<uint8_t>* FileOf(int fd) const
    {
        auto it = m_open.find(fd);
        if (it == m_open.end())
            return nullptr;
        return &m_files.at(it->second);
    }

    std::map<std::string, std::vector<uint8_t>> m_files;
    std::map<int, std::string> m_open;
    int m_nextFd = 3;
};
