#pragma once
// Helpers shared by the core tests: a scratch folder, whole-file reads and
// writes, FITS and SBIG files built in memory, a file seam that fails on cue,
// and the fixture most tests start from.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "image/CSbigRowCodec.h"
#include "support/CCollectingMessageSink.h"
#include "support/CPosixFileOps.h"
#include "support/CSharedState.h"

// While an object lives, every operator new of at least `bytes` (on any
// thread) throws std::bad_alloc, as in a process short of memory; the core
// test program's global operator new honours it.
class CAllocationLimit {
public:
    explicit CAllocationLimit(std::size_t bytes);
    ~CAllocationLimit();
};

using Blob = std::vector<uint8_t>;
using Messages = std::vector<std::string>;

// The names of a folder's entries, sorted (to see that no temporary file is
// left).
inline std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A fresh folder under /tmp, removed with everything in it at the end.
class CTempDir {
public:
    CTempDir() : m_path(mkdtemp(m_name) ? m_name : "/tmp") {}
    ~CTempDir() { std::filesystem::remove_all(m_path, m_error); }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    std::string Path() const { return m_path; }
    std::vector<std::string> Entries() const { return Names(m_path); }

private:
    char m_name[32] = "/tmp/dorvane-test-XXXXXX";
    std::string m_path;
    std::error_code m_error;
};

inline Blob ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);  // in one read: files of megabytes
    Blob bytes(in ? static_cast<std::size_t>(in.tellg()) : 0);
    in.seekg(0).read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline std::string WriteBytes(const std::string& path, const Blob& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

inline Blob Concat(Blob a, const Blob& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A FITS file: cards padded to 80 bytes, the header (with END unless told)
// padded to whole blocks unless told, then the data bytes, padded likewise.
struct CFitsBuilder {
    std::vector<std::string> cards;
    Blob data;

    CFitsBuilder& Card(const std::string& text) { return cards.push_back(text), *this; }
    CFitsBuilder& Value(std::string keyword, const std::string& value)
    {
        keyword.resize(8, ' ');
        return Card(keyword + "= " + std::string(value.size() < 20 ? 20 - value.size() : 0, ' ') + value);
    }
    // BITPIX, NAXIS (3 with NAXIS3 = 3 for a colour cube), NAXIS1, NAXIS2
    // and, unless null, BZERO and BSCALE.
    static CFitsBuilder Image(int bitpix, int width, int height, bool colour = false, const char* bzero = "32768",
                              const char* bscale = "1")
    {
        CFitsBuilder b;
        b.Value("SIMPLE", "T").Value("BITPIX", std::to_string(bitpix)).Value("NAXIS", colour ? "3" : "2");
        b.Value("NAXIS1", std::to_string(width)).Value("NAXIS2", std::to_string(height));
        for (auto [keyword, value] : {std::pair{"NAXIS3", colour ? "3" : nullptr}, {"BZERO", bzero}, {"BSCALE", bscale}})
            if (value)
                b.Value(keyword, value);
        return b;
    }
    CFitsBuilder& Data16(const std::vector<uint16_t>& stored)
    {
        for (uint16_t v : stored)
            data.insert(data.end(), {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v & 0xFF)});
        return *this;
    }
    Blob Bytes(bool end = true, bool padHeader = true, bool padData = true) const
    {
        std::string header;
        for (std::string card : cards)
            header += (card.resize(80, ' '), card);
        header += end ? "END" + std::string(77, ' ') : "";
        header.resize(padHeader ? (header.size() + 2879) / 2880 * 2880 : header.size(), ' ');
        Blob out = Concat(Blob(header.begin(), header.end()), data);
        out.resize(padData ? header.size() + (data.size() + 2879) / 2880 * 2880 : out.size(), 0);
        return out;
    }
};

// SBIG Type 3: a 2048-byte header of lines (each followed by ending, the
// rest zero), rows raw (little-endian) or compressed by the core's encoder.
inline Blob SbigHeader(const std::vector<std::string>& lines, const std::string& ending = "\n\r")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + ending;
    text.resize(2048, '\0');
    return Blob(text.begin(), text.end());
}

inline Blob RawRows(const std::vector<uint32_t>& values)
{
    Blob bytes;
    for (uint32_t v : values)
        bytes.insert(bytes.end(), {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)});
    return bytes;
}

inline Blob CompressedRows(const std::vector<uint32_t>& values, int32_t width)
{
    Blob bytes, row(CSbigRowCodec::MaxRowBytes(width));
    for (std::size_t at = 0; at < values.size(); at += static_cast<std::size_t>(width)) {
        const std::size_t n = CSbigRowCodec::EncodeRow(&values[at], width, row.data());
        bytes.insert(bytes.end(), row.begin(), row.begin() + static_cast<std::ptrdiff_t>(n));
    }
    return bytes;
}

// A frame like a real one: noisy sky, stars and a saturated column, so that
// compressed rows hold deltas, escapes and plateaus.
inline std::vector<uint32_t> SkyFrame(int32_t width, int32_t height, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<uint32_t> values(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::size_t i = 0; i < values.size(); ++i) {
        const bool saturated = static_cast<int32_t>(i % static_cast<std::size_t>(width)) == width / 2;
        values[i] = saturated ? 65535 : rng() % 50 ? 1000 + rng() % 40 : 20000 + rng() % 40000;
    }
    return values;
}

// The real file system with a record of the writes a save makes, where the
// n-th call (0-based; kEvery: every call) of one step fails. Flushes are only
// counted: real ones of many large saves take seconds on a busy disk.
enum class EStep { OpenRead, ReadAt, Create, SetMode, Write, Sync, Close, Rename, SyncFolder, None };

class CFaultyFileOps : public CPosixFileOps {
public:
    static constexpr int kEvery = -1;
    void Reset(EStep step = EStep::None, int index = 0)
    {
        writeOffsets.clear();
        m_offsets.clear();
        for (auto& calls : m_calls)
            calls = 0;
        m_step = step;
        m_index = index;
    }

    int OpenRead(const std::string& path) override { return Fails(EStep::OpenRead) ? -1 : CPosixFileOps::OpenRead(path); }
    int64_t ReadAt(int fd, void* data, std::size_t size, uint64_t offset) override
    {
        return Fails(EStep::ReadAt) ? -1 : CPosixFileOps::ReadAt(fd, data, size, offset);
    }
    int CreateExclusive(const std::string& path) override
    {
        return Fails(EStep::Create) ? -1 : CPosixFileOps::CreateExclusive(path);
    }
    bool SetMode(int fd, uint32_t mode) override { return !Fails(EStep::SetMode) && CPosixFileOps::SetMode(fd, mode); }
    bool WriteAll(int fd, const void* data, std::size_t size) override
    {
        writeOffsets.push_back(m_offsets[fd]);
        m_offsets[fd] += size;
        // A full disk takes part of the block before it refuses.
        return Fails(EStep::Write) ? (CPosixFileOps::WriteAll(fd, data, size / 2), false)
                                   : CPosixFileOps::WriteAll(fd, data, size);
    }
    bool Sync(int) override { return !Fails(EStep::Sync); }
    bool Close(int fd) override { return !Fails(EStep::Close) & CPosixFileOps::Close(fd); }  // closed either way
    bool Rename(const std::string& from, const std::string& to) override
    {
        return !Fails(EStep::Rename) && CPosixFileOps::Rename(from, to);
    }
    bool SyncFolder(const std::string&) override { return !Fails(EStep::SyncFolder); }

    std::vector<uint64_t> writeOffsets;  // where in its file each write started

private:
    bool Fails(EStep step)
    {
        const int index = m_calls[static_cast<int>(step)]++;
        return step == m_step && (m_index == kEvery || index == m_index);
    }
    std::atomic<int> m_calls[static_cast<int>(EStep::None)] = {};
    std::atomic<EStep> m_step{EStep::None};
    int m_index = 0;
    std::map<int, uint64_t> m_offsets;
};

// A scratch folder, the shared state (a 32-bit display) and the messages the
// core reports; OpenImage opens a fresh image of type T and tells in opened.
class CoreTest : public ::testing::Test {
protected:
    CoreTest() { shared.m_nDisplayBpp = 32; }
    template <class T>
    std::unique_ptr<T> OpenImage(const std::string& path)
    {
        messages.Clear();
        auto image = std::make_unique<T>(shared, messages);
        opened = image->Open(path);
        return image;
    }

    CTempDir dir;
    CSharedState shared;
    CCollectingMessageSink messages;
    bool opened = false;
};
