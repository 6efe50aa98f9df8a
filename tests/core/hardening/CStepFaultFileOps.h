#pragma once
// The real file system with a record of every step a save takes, and the
// n-th call of any one step made to fail.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/CPosixFileOps.h"

namespace hardening {

enum class EStep { Create, SetMode, Write, Sync, Close, Rename, SyncFolder, Count };

class CStepFaultFileOps : public CPosixFileOps {
public:
    struct CWrite {
        uint64_t offset;  // where in the new file the block starts
        std::size_t size;
    };

    // Forgets the record; nothing fails until FailAt.
    void Reset()
    {
        m_writes.clear();
        m_created.clear();
        m_offsets.clear();
        for (int& c : m_calls)
            c = 0;
        m_failStep = EStep::Count;
    }
    // The call with the given 0-based index of step fails; index kEvery makes
    // every call of step fail.
    static constexpr int kEvery = -1;
    void FailAt(EStep step, int index)
    {
        m_failStep = step;
        m_failIndex = index;
    }
    int Calls(EStep step) const { return m_calls[static_cast<int>(step)]; }

    int CreateExclusive(const std::string& path) override
    {
        if (Fails(EStep::Create))
            return -1;
        const int fd = CPosixFileOps::CreateExclusive(path);
        if (fd >= 0) {
            m_created.push_back(path);
            m_offsets[fd] = 0;
        }
        return fd;
    }
    bool SetMode(int fd, uint32_t mode) override
    {
        return !Fails(EStep::SetMode) && CPosixFileOps::SetMode(fd, mode);
    }
    bool WriteAll(int fd, const void* data, std::size_t size) override
    {
        m_writes.push_back({m_offsets[fd], size});
        if (Fails(EStep::Write)) {
            // A full disk takes part of the block before it refuses.
            CPosixFileOps::WriteAll(fd, data, size / 2);
            return false;
        }
        m_offsets[fd] += size;
        return CPosixFileOps::WriteAll(fd, data, size);
    }
    // Flushes are only counted: what reaches the device is not under test,
    // and real flushes of many large saves take seconds on a busy disk.
    bool Sync(int) override { return !Fails(EStep::Sync); }
    bool Close(int fd) override
    {
        const bool fail = Fails(EStep::Close);
        const bool closed = CPosixFileOps::Close(fd);  // the descriptor is gone either way
        return !fail && closed;
    }
    bool Rename(const std::string& from, const std::string& to) override
    {
        return !Fails(EStep::Rename) && CPosixFileOps::Rename(from, to);
    }
    bool SyncFolder(const std::string&) override { return !Fails(EStep::SyncFolder); }

    std::vector<CWrite> m_writes;
    std::vector<std::string> m_created;  // temporary files made

private:
    bool Fails(EStep step)
    {
        const int index = m_calls[static_cast<int>(step)]++;
        return step == m_failStep && (m_failIndex == kEvery || index == m_failIndex);
    }

    int m_calls[static_cast<int>(EStep::Count)] = {};
    EStep m_failStep = EStep::Count;
    int m_failIndex = 0;
    std::map<int, uint64_t> m_offsets;
};

}  // namespace hardening
