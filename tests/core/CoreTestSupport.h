#pragma once
// Helpers shared by the core tests: a scratch folder, whole-file reads and
// writes, FITS files built card by card, and a file seam that fails on cue.
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/CPosixFileOps.h"

namespace coretest {

// A fresh folder under /tmp, removed with everything in it at the end.
class CTempDir {
public:
    CTempDir()
    {
        char name[] = "/tmp/dorvane-test-XXXXXX";
        const char* made = mkdtemp(name);
        m_path = made ? made : "/tmp";
    }
    ~CTempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Path() const { return m_path; }
    // Names of every entry in the folder (to see that no temporary is left).
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_path))
            names.push_back(e.path().filename().string());
        return names;
    }

private:
    std::string m_path;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A FITS file built from cards and raw data bytes. Cards are padded to 80
// bytes; the header is padded with blank cards to whole blocks unless
// padHeader is false.
struct CFitsBuilder {
    std::vector<std::string> cards;
    std::vector<uint8_t> data;

    CFitsBuilder& Card(const std::string& text)
    {
        cards.push_back(text);
        return *this;
    }
    CFitsBuilder& Value(const std::string& keyword, const std::string& value)
    {
        std::string card = keyword;
        card.resize(8, ' ');
        card += "= ";
        std::string v = value;
        if (v.size() < 20)
            v.insert(0, 20 - v.size(), ' ');
        return Card(card + v);
    }
    // The usual header of a 16-bit unsigned image.
    static CFitsBuilder Mono16(int width, int height)
    {
        CFitsBuilder b;
        b.Value("SIMPLE", "T").Value("BITPIX", "16").Value("NAXIS", "2");
        b.Value("NAXIS1", std::to_string(width)).Value("NAXIS2", std::to_string(height));
        b.Value("BZERO", "32768").Value("BSCALE", "1");
        return b;
    }
    CFitsBuilder& Data16(const std::vector<uint16_t>& stored)
    {
        for (uint16_t v : stored) {
            data.push_back(static_cast<uint8_t>(v >> 8));
            data.push_back(static_cast<uint8_t>(v & 0xFF));
        }
        return *this;
    }
    std::vector<uint8_t> Bytes(bool end = true, bool padHeader = true, bool padData = true) const
    {
        std::string header;
        for (const std::string& c : cards) {
            std::string card = c.substr(0, 80);
            card.resize(80, ' ');
            header += card;
        }
        if (end) {
            std::string card = "END";
            card.resize(80, ' ');
            header += card;
        }
        if (padHeader)
            header.resize((header.size() + 2879) / 2880 * 2880, ' ');
        std::vector<uint8_t> out(header.begin(), header.end());
        out.insert(out.end(), data.begin(), data.end());
        if (padData)
            out.resize(header.size() + (data.size() + 2879) / 2880 * 2880, 0);
        return out;
    }
};

// The real file system, except that the named operation fails once it has
// succeeded `after` times (counted from Arm). Safe for the two reading threads.
class CFaultyFileOps : public CPosixFileOps {
public:
    enum class EOp { None, OpenRead, ReadAt, CreateExclusive, WriteAll, Sync, Close, Rename, SetMode };

    void Arm(EOp op, int after = 0)
    {
        m_op = op;
        m_left = after;
    }
    void Disarm() { m_op = EOp::None; }

    int OpenRead(const std::string& path) override
    {
        return Fail(EOp::OpenRead) ? -1 : CPosixFileOps::OpenRead(path);
    }
    int64_t ReadAt(int fd, void* data, std::size_t size, uint64_t offset) override
    {
        return Fail(EOp::ReadAt) ? -1 : CPosixFileOps::ReadAt(fd, data, size, offset);
    }
    int CreateExclusive(const std::string& path) override
    {
        return Fail(EOp::CreateExclusive) ? -1 : CPosixFileOps::CreateExclusive(path);
    }
    bool WriteAll(int fd, const void* data, std::size_t size) override
    {
        if (Fail(EOp::WriteAll)) {
            // A disk that fills up takes part of the block first.
            CPosixFileOps::WriteAll(fd, data, size / 2);
            return false;
        }
        return CPosixFileOps::WriteAll(fd, data, size);
    }
    bool Sync(int fd) override { return !Fail(EOp::Sync) && CPosixFileOps::Sync(fd); }
    bool Close(int fd) override
    {
        if (Fail(EOp::Close)) {
            CPosixFileOps::Close(fd);  // the descriptor is gone either way
            return false;
        }
        return CPosixFileOps::Close(fd);
    }
    bool Rename(const std::string& from, const std::string& to) override
    {
        return !Fail(EOp::Rename) && CPosixFileOps::Rename(from, to);
    }
    bool SetMode(int fd, uint32_t mode) override
    {
        return !Fail(EOp::SetMode) && CPosixFileOps::SetMode(fd, mode);
    }

private:
    bool Fail(EOp op)
    {
        if (m_op != op)
            return false;
        return m_left.fetch_sub(1) <= 0;
    }
    std::atomic<EOp> m_op{EOp::None};
    std::atomic<int> m_left{0};
};

}  // namespace coretest
