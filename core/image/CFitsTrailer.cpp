#include "CFitsTrailer.h"

#include <algorithm>

#include "support/CAtomicFileWriter.h"
#include "support/CBinaryFileReader.h"

namespace {
constexpr uint64_t kCopyBlock = uint64_t(4) << 20;
}  // namespace

bool CFitsTrailer::Read(CBinaryFileReader& reader, const std::string& path)
{
    m_bytes.clear();
    m_sourcePath.clear();
    m_size = reader.Remaining();
    if (m_size <= kHeldBytes) {
        m_bytes.resize(static_cast<std::size_t>(m_size));
        // A file that shrank since it was opened keeps what is still there.
        m_bytes.resize(reader.Read(m_bytes.data(), m_bytes.size()));
        m_size = m_bytes.size();
        return !reader.HadError();
    }
    m_sourcePath = path;
    m_offset = reader.Position();
    return reader.Stamp(m_sourceStamp);
}

CFitsTrailer::EWrite CFitsTrailer::WriteTo(CAtomicFileWriter& writer, IFileOps& ops) const
{
    if (IsHeld())
        return writer.Write(m_bytes.data(), m_bytes.size()) ? EWrite::Written : EWrite::WriteFailed;
    CBinaryFileReader source(ops);
    CFileStamp now;
    if (!source.Open(m_sourcePath) || !source.Stamp(now) || now != m_sourceStamp)
        return EWrite::SourceChanged;
    std::vector<uint8_t> block(static_cast<std::size_t>(std::min(kCopyBlock, m_size)));
    for (uint64_t done = 0; done < m_size;) {
        const std::size_t n = static_cast<std::size_t>(std::min<uint64_t>(block.size(), m_size - done));
        if (!source.ReadExactAt(block.data(), n, m_offset + done))
            return EWrite::SourceChanged;
        if (!writer.Write(block.data(), n))
            return EWrite::WriteFailed;
        done += n;
    }
    // Changed while it was copied is no better than changed before.
    if (!source.Stamp(now) || now != m_sourceStamp)
        return EWrite::SourceChanged;
    return EWrite::Written;
}

void CFitsTrailer::FollowSave(const std::string& savedPath, IFileOps& ops, uint64_t writtenAt)
{
    if (IsHeld())
        return;
    // Only a save that replaced the source (in place, or through another
    // name of it) moves the trailer: it now lives in the new file.
    CBinaryFileReader source(ops);
    CBinaryFileReader saved(ops);
    CFileStamp sourceNow;
    CFileStamp savedNow;
    if (source.Open(m_sourcePath) && saved.Open(savedPath) && source.Stamp(sourceNow) && saved.Stamp(savedNow) &&
        sourceNow.device == savedNow.device && sourceNow.inode == savedNow.inode) {
        m_sourceStamp = sourceNow;
        m_offset = writtenAt;
    }
}
