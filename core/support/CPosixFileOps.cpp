#include "CPosixFileOps.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CPosixFileOps& CPosixFileOps::Instance()
{
    static CPosixFileOps ops;
    return ops;
}

int CPosixFileOps::OpenRead(const std::string& path)
{
    // Only regular files are images. The type is checked before the open,
    // which on a named pipe or a device could wait, or have an effect of its
    // own (a tape rewinds).
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0 || !S_ISREG(before.st_mode))
        return -1;
    // Should a pipe take the file's place meanwhile, O_NONBLOCK keeps the
    // open from waiting for a writer; regular files ignore the flag.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool CPosixFileOps::Size(int fd, uint64_t& size)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size < 0)
        return false;
    size = static_cast<uint64_t>(st.st_size);
    return true;
}

int64_t CPosixFileOps::ReadAt(int fd, void* data, std::size_t size, uint64_t offset)
{
    for (;;) {
        ssize_t n = ::pread(fd, data, size, static_cast<off_t>(offset));
        if (n >= 0)
            return n;
        if (errno != EINTR)
            return -1;
    }
}

bool CPosixFileOps::Stamp(int fd, CFileStamp& stamp)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size < 0)
        return false;
    stamp.device = static_cast<uint64_t>(st.st_dev);
    stamp.inode = static_cast<uint64_t>(st.st_ino);
    stamp.size = static_cast<uint64_t>(st.st_size);
    stamp.modifiedSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
    stamp.modifiedNanoseconds = static_cast<int64_t>(st.st_mtim.tv_nsec);
    return true;
}

EFileKind CPosixFileOps::Kind(const std::string& path)
{
    struct stat st {};
    // A path that cannot be looked at is left to the create, which fails
    // with the usual message.
    if (::stat(path.c_str(), &st) != 0)
        return EFileKind::Missing;
    if (S_ISREG(st.st_mode))
        return EFileKind::Regular;
    return S_ISCHR(st.st_mode) ? EFileKind::CharDevice : EFileKind::Other;
}

bool CPosixFileOps::CanWrite(const std::string& path)
{
    // The effective user's rights, as the open of a writer would meet them.
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

int CPosixFileOps::OpenDevice(const std::string& path)
{
    // O_NONBLOCK for the open only: a terminal line or a pipe put in the
    // device's place must not make the open wait.
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat st {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int CPosixFileOps::CreateExclusive(const std::string& path)
{
    int fd;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? -1 : fd;
}

bool CPosixFileOps::WriteAll(int fd, const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CPosixFileOps::Sync(int fd)
{
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

void CPosixFileOps::StartWriteback(int fd, uint64_t offset, uint64_t size)
{
#ifdef SYNC_FILE_RANGE_WRITE
    ::sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(size), SYNC_FILE_RANGE_WRITE);
#else
    (void)fd;
    (void)offset;
    (void)size;
#endif
}

bool CPosixFileOps::Close(int fd)
{
    // Linux releases the descriptor even when close reports EINTR, so it is
    // never retried.
    return ::close(fd) == 0;
}

bool CPosixFileOps::Rename(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool CPosixFileOps::Remove(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

bool CPosixFileOps::SyncFolder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool CPosixFileOps::GetMode(const std::string& path, uint32_t& mode)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    mode = static_cast<uint32_t>(st.st_mode) & 07777u;
    return true;
}

bool CPosixFileOps::SetMode(int fd, uint32_t mode)
{
    return ::fchmod(fd, static_cast<mode_t>(mode & 07777u)) == 0;
}

bool CPosixFileOps::KeepOwner(int fd, const std::string& path)
{
    struct stat target {};
    struct stat made {};
    if (::stat(path.c_str(), &target) != 0 || ::fstat(fd, &made) != 0)
        return false;
    if (target.st_uid == made.st_uid && target.st_gid == made.st_gid)
        return true;
    return ::fchown(fd, target.st_uid, target.st_gid) == 0;
}

bool CPosixFileOps::ResolveLink(const std::string& path, std::string& resolved)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr)
        return false;
    resolved = real;
    std::free(real);
    return true;
}
