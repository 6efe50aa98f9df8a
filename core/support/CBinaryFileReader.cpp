#include "CBinaryFileReader.h"

CBinaryFileReader::CBinaryFileReader(IFileOps& ops) : m_ops(ops) {}

CBinaryFileReader::~CBinaryFileReader()
{
    if (m_fd >= 0)
        m_ops.Close(m_fd);
}

bool CBinaryFileReader::Open(const std::string& path)
{
    Close();
    m_position = 0;
    m_size = 0;
    m_error = false;
    m_fd = m_ops.OpenRead(path);
    if (m_fd < 0)
        return false;
    if (!m_ops.Size(m_fd, m_size)) {
        m_ops.Close(m_fd);
        m_fd = -1;
        return false;
    }
    return true;
}

std::size_t CBinaryFileReader::Read(void* data, std::size_t size)
{
    if (m_fd < 0)
        return 0;
    char* out = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        int64_t n = m_ops.ReadAt(m_fd, out + done, size - done, m_position);
        if (n < 0) {
            m_error = true;
            break;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
        m_position += static_cast<uint64_t>(n);
    }
    return done;
}

bool CBinaryFileReader::ReadExact(void* data, std::size_t size)
{
    return Read(data, size) == size;
}

bool CBinaryFileReader::ReadExactAt(void* data, std::size_t size, uint64_t offset) const
{
    if (m_fd < 0)
        return false;
    char* out = static_cast<char*>(data);
    std::size_t done = 0;
    while (done < size) {
        int64_t n = m_ops.ReadAt(m_fd, out + done, size - done, offset + done);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool CBinaryFileReader::Close()
{
    if (m_fd < 0)
        return false;
    bool ok = m_ops.Close(m_fd);
    m_fd = -1;
    return ok;
}
