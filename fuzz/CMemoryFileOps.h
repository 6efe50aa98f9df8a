#pragma once
// A file system held in memory, so that a fuzz input reaches the readers
// without touching the disk: the input's file, and whatever the writers
// create. Only what the readers and the atomic writer call is implemented.
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
    using Bytes = std::vector<uint8_t>;

    void Put(const std::string& path, const uint8_t* data, std::size_t size) { m_files[path].assign(data, data + size); }
    const Bytes* Find(const std::string& path) const
    {
        auto it = m_files.find(path);
        return it == m_files.end() ? nullptr : &it->second;
    }
    std::size_t FileCount() const { return m_files.size(); }

    int OpenRead(const std::string& path) override { return m_files.count(path) ? Attach(path) : -1; }
    bool Size(int fd, uint64_t& size) override
    {
        const Bytes* file = FileOf(fd);
        return file && (size = file->size(), true);
    }
    int64_t ReadAt(int fd, void* data, std::size_t size, uint64_t offset) override
    {
        const Bytes* file = FileOf(fd);
        if (file == nullptr)
            return -1;
        const std::size_t n = offset >= file->size() ? 0 : std::min<uint64_t>(size, file->size() - offset);
        std::memcpy(data, file->data() + std::min<uint64_t>(offset, file->size()), n);
        return static_cast<int64_t>(n);
    }
    bool Stamp(int fd, CFileStamp& stamp) override
    {
        const Bytes* file = FileOf(fd);
        return file && (stamp = CFileStamp{0, std::hash<std::string>()(m_open.at(fd)), file->size(), 0, 0}, true);
    }
    EFileKind Kind(const std::string& path) override { return m_files.count(path) ? EFileKind::Regular : EFileKind::Missing; }
    bool CanWrite(const std::string&) override { return true; }
    int OpenDevice(const std::string&) override { return -1; }
    int CreateExclusive(const std::string& path) override { return m_files.count(path) ? -1 : (m_files[path], Attach(path)); }
    bool WriteAll(int fd, const void* data, std::size_t size) override
    {
        auto it = m_open.find(fd);
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        return it != m_open.end() && (m_files[it->second].insert(m_files[it->second].end(), bytes, bytes + size), true);
    }
    bool Sync(int fd) override { return m_open.count(fd) != 0; }
    bool Close(int fd) override { return m_open.erase(fd) != 0; }
    bool Rename(const std::string& from, const std::string& to) override
    {
        auto it = m_files.find(from);
        if (it == m_files.end())
            return false;
        Bytes bytes = std::move(it->second);
        m_files.erase(it);
        m_files[to] = std::move(bytes);
        return true;
    }
    bool Remove(const std::string& path) override { return m_files.erase(path) != 0; }
    bool SyncFolder(const std::string&) override { return true; }
    bool GetMode(const std::string& path, uint32_t& mode) override { return mode = 0644, m_files.count(path) != 0; }
    bool SetMode(int fd, uint32_t) override { return m_open.count(fd) != 0; }
    bool ResolveLink(const std::string& path, std::string& resolved) override
    {
        return m_files.count(path) && (resolved = path, true);
    }

private:
    int Attach(const std::string& path) { return m_open[m_nextFd] = path, m_nextFd++; }
    // The reading threads call this only while the maps stay unchanged.
    const Bytes* FileOf(int fd) const
    {
        auto it = m_open.find(fd);
        return it == m_open.end() ? nullptr : &m_files.at(it->second);
    }

    std::map<std::string, Bytes> m_files;
    std::map<int, std::string> m_open;
    int m_nextFd = 3;
};
