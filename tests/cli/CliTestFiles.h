#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "CCliIo.h"

// Small image files and helpers for the command-line tests.
namespace CliTest {

// A folder of its own under the system's temporary folder, removed with
// everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string Path(const std::string& name) const { return m_path + "/" + name; }
    const std::string& Root() const { return m_path; }

private:
    std::string m_path;
};

// One plane, row-major.
using Plane = std::vector<uint32_t>;

// A sky of faint noise (values near base) with vertical streaks of 65000,
// some long enough to be blooms, one too short; different for each seed.
Plane BloomedPlane(int32_t width, int32_t height, uint32_t seed, uint32_t base = 1200);

// A 16-bit FITS file (BZERO 32768, BSCALE 1) with one or three planes, data
// padded to whole 2880-byte blocks.
void WriteFits16(const std::string& path, int32_t width, int32_t height, const std::vector<Plane>& planes);
// An 8-bit FITS file (BZERO 0, BSCALE 1), one plane.
void WriteFits8(const std::string& path, int32_t width, int32_t height, const Plane& plane);
// An 8-bit FITS file of zeros whose data are a hole on disk: an image too
// large to write out, for running out of memory.
void WriteBlankFits8(const std::string& path, int32_t width, int32_t height);
// A 16-bit FITS file whose stored values are written as given (signed, with
// BZERO 0): negative values read back out of range.
void WriteFits16Stored(const std::string& path, int32_t width, int32_t height, const std::vector<int16_t>& stored);
// An SBIG Type 3 file, uncompressed or with compressed rows.
void WriteSbig(const std::string& path, int32_t width, int32_t height, const Plane& plane, bool compressed);

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool Exists(const std::string& path);

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs dorvane-cli's logic in-process with these arguments (without the
// program name). terminal: pretend stderr is a terminal.
CliRun RunCli(const std::vector<std::string>& args, bool terminal = false);

}  // namespace CliTest
