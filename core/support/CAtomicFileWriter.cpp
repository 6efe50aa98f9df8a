#include "CAtomicFileWriter.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <unistd.h>

#include "CTempFileRegistry.h"

namespace {

std::string FolderOf(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name that no other writer (of this or another process) picks at the same
// time; CreateExclusive refuses it anyway if it exists.
std::string TempName(const std::string& finalPath, unsigned attempt)
{
    static std::atomic<unsigned> counter{0};
    unsigned long long stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%ld.%u.%u.%llx.tmp", static_cast<long>(::getpid()),
                  counter.fetch_add(1), attempt, stamp & 0xFFFFFFull);
    std::string folder = FolderOf(finalPath);
    std::string prefix = folder == "/" ? "/" : folder + "/";
    return prefix + "." + NameOf(finalPath) + suffix;
}

}  // namespace

CAtomicFileWriter::CAtomicFileWriter(IFileOps& ops) : m_ops(ops) {}

CAtomicFileWriter::~CAtomicFileWriter()
{
    Abandon();
}

bool CAtomicFileWriter::Begin(const std::string& targetPath)
{
    Abandon();
    m_failed = false;
    m_direct = false;
    m_beginFailure = ESaveStep::Create;
    if (targetPath.empty() || targetPath.back() == '/')
        return Refuse(ESaveStep::Create);
    m_finalPath = targetPath;
    std::string resolved;
    if (m_ops.ResolveLink(targetPath, resolved))
        m_finalPath = resolved;

    m_written = 0;
    m_writeback = 0;
    switch (m_ops.Kind(m_finalPath)) {
    case EFileKind::Missing:
        break;
    case EFileKind::Regular:
        if (!m_ops.CanWrite(m_finalPath))
            return Refuse(ESaveStep::WriteProtected);
        break;
    case EFileKind::CharDevice:
        return BeginDevice();
    case EFileKind::Other:
        return Refuse(ESaveStep::NotAFile);
    }
    if (!CreateTemporary())
        return Refuse(ESaveStep::Create);
    uint32_t mode = 0;
    if (m_ops.GetMode(m_finalPath, mode)) {
        // Someone saving another user's file (as root, say) must not take it
        // over; where the system refuses, the file is simply the saver's own.
        // The owner goes first, as changing it clears set-id bits.
        m_ops.KeepOwner(m_fd, m_finalPath);
        if (!m_ops.SetMode(m_fd, mode)) {
            Abandon();
            return Refuse(ESaveStep::Create);
        }
    }
    return true;
}

bool CAtomicFileWriter::Refuse(ESaveStep why)
{
    m_beginFailure = why;
    m_failed = true;
    return false;
}

bool CAtomicFileWriter::BeginDevice()
{
    m_fd = m_ops.OpenDevice(m_finalPath);
    if (m_fd < 0)
        return Refuse(ESaveStep::Create);
    m_direct = true;
    return true;
}

bool CAtomicFileWriter::CreateTemporary()
{
    for (unsigned attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        m_tempPath = TempName(m_finalPath, attempt);
        // Recorded before it exists, so that no moment is left in which a
        // signal would leave it behind.
        m_registrySlot = CTempFileRegistry::Add(m_tempPath);
        m_fd = m_ops.CreateExclusive(m_tempPath);
        if (m_fd < 0)
            ReleaseTemporary();
    }
    return m_fd >= 0;
}

void CAtomicFileWriter::ReleaseTemporary()
{
    m_tempPath.clear();
    CTempFileRegistry::Release(m_registrySlot);
    m_registrySlot = CTempFileRegistry::kNoSlot;
}

bool CAtomicFileWriter::Write(const void* data, std::size_t size)
{
    if (m_fd < 0 || m_failed)
        return false;
    if (size == 0)
        return true;
    if (!m_ops.WriteAll(m_fd, data, size)) {
        m_failed = true;
        Abandon();
        return false;
    }
    m_written += size;
    if (m_direct)
        return true;
    // Let the device start on what is written while the rest is prepared, so
    // that the flush before the rename waits for little.
    constexpr uint64_t kWritebackStep = uint64_t(8) << 20;
    if (m_written - m_writeback >= kWritebackStep) {
        m_ops.StartWriteback(m_fd, m_writeback, m_written - m_writeback);
        m_writeback = m_written;
    }
    return true;
}

bool CAtomicFileWriter::Commit()
{
    if (m_fd < 0 || m_failed)
        return false;
    if (m_direct) {
        // A device has no file to flush (fsync fails on /dev/null) and
        // nothing to rename; what it refused, Write has reported.
        const bool closed = m_ops.Close(m_fd);
        m_fd = -1;
        m_failed = !closed;
        return closed;
    }
    bool ok = m_ops.Sync(m_fd);
    ok = m_ops.Close(m_fd) && ok;
    m_fd = -1;
    if (ok)
        ok = m_ops.Rename(m_tempPath, m_finalPath);
    if (!ok) {
        m_failed = true;
        Abandon();
        return false;
    }
    ReleaseTemporary();
    // The rename is on the device once the folder is; a failure here leaves
    // the new file in place, so it is not reported.
    m_ops.SyncFolder(FolderOf(m_finalPath));
    return true;
}

void CAtomicFileWriter::Abandon()
{
    if (m_fd >= 0) {
        m_ops.Close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.empty()) {
        m_ops.Remove(m_tempPath);
        ReleaseTemporary();
    }
}
