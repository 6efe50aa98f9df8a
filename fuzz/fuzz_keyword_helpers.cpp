// The header-line helpers on lines of any length and content. The line is
// copied to a buffer of exactly its length (no terminator), so a read beyond
// it is caught. KeywordValue is compared with the C library's strtod on the
// characters it may read: after "=" any white space, then the
// longest run of sign, digit, point and exponent characters. KeywordValueInRange
// must agree with what KeywordValue clamps.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>
#include <vector>

#include "image/CAstroImage.h"

namespace {

int32_t ReferenceValue(const char* line, std::size_t length)
{
    const void* eq = std::memchr(line, '=', length);
    if (eq == nullptr)
        return 0;
    std::size_t i = static_cast<std::size_t>(static_cast<const char*>(eq) - line) + 1;
    while (i < length && std::strchr(" \t\n\v\f\r", line[i]) != nullptr && line[i] != '\0')
        ++i;
    std::string text;
    while (i < length && line[i] != '\0' && std::strchr("0123456789+-.eE", line[i]) != nullptr)
        text += line[i++];
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const double value = std::trunc(strtod_l(text.c_str(), nullptr, c));
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    // Callers pass 80-byte FITS cards and 64-byte SBIG lines; a number the
    // helper reads is then always shorter than its own 128-byte limit.
    if (size > 128)
        return 0;
    std::vector<char> line(data, data + size);
    const char* text = line.empty() ? "" : line.data();
    for (const char* keyword : {"END", "NAXIS", "NAXIS1", "BSCALE", "End", "Height", "Width"}) {
        const std::size_t n = std::strlen(keyword);
        if (CAstroImage::KeywordMatches(keyword, text, line.size()) != (n <= line.size() && !std::memcmp(keyword, text, n)))
            std::abort();
    }
    const int32_t value = CAstroImage::KeywordValue(text, line.size());
    if (value != ReferenceValue(text, line.size()))
        std::abort();
    // A value out of range is one KeywordValue clamped, or NaN or infinity
    // spelt out (which it reads as no number).
    if (!CAstroImage::KeywordValueInRange(text, line.size()) && value != INT32_MAX && value != INT32_MIN &&
        value != 0)
        std::abort();
    return 0;
}
