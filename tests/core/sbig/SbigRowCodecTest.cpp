// The compressed row format of SBIG Type 3 files: a first value, then one
// byte per pixel for deltas within -127..127, an escape (0x80) and the value
// otherwise; a row of twice the width in bytes is raw.
#include <gtest/gtest.h>

#include <random>

#include "image/CSbigRowCodec.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Values = std::vector<uint32_t>;

Bytes Encode(const Values& values)
{
    Bytes out(CSbigRowCodec::MaxRowBytes(static_cast<int32_t>(values.size())), 0xEE);
    out.resize(CSbigRowCodec::EncodeRow(values.data(), static_cast<int32_t>(values.size()), out.data()));
    return out;
}

// Decodes a row body from an exactly sized copy, so that a read past it is
// caught by the sanitizers.
bool Decode(const Bytes& body, int32_t width, Values& values)
{
    values.assign(static_cast<std::size_t>(width), 0xDEADBEEF);
    return CSbigRowCodec::DecodeRow(body.data(), body.size(), width, values.data());
}

// The body of an encoded row, after its count (which must match).
Bytes Body(const Bytes& encoded)
{
    EXPECT_EQ(static_cast<std::size_t>(encoded[0] | (encoded[1] << 8)) + 2, encoded.size());
    return Bytes(encoded.begin() + 2, encoded.end());
}

}  // namespace

TEST(SbigRowCodec, DecodesDeltasEscapesAndWrapAroundAndRefusesMalformedRows)
{
    const struct {
        Bytes body;
        int32_t width;
        bool ok;
        Values values;
    } cases[] = {
        // 0x1234, +1, -1, escape to 0xFFFF, +1 wraps to 0, -1 back to 0xFFFF,
        // +127 wraps to 126, -127 to 0xFFFF, escape on the last pixel.
        {{0x34, 0x12, 0x01, 0xFF, 0x80, 0xFF, 0xFF, 0x01, 0xFF, 0x7F, 0x81, 0x80, 0x00, 0x01}, 9, true,
         {0x1234, 0x1235, 0x1234, 0xFFFF, 0, 0xFFFF, 126, 0xFFFF, 256}},
        {{0x34, 0x12, 0xFF, 0xFF, 0x00, 0x01}, 3, true, {4660, 65535, 256}},  // twice the width: raw
        {{0, 0}, 1, true, {0}},                                                // width 1 is always raw
        {{}, 0, true, {}},
        {{}, 1, false, {}},
        {Bytes(6, 0), 6, false, {}},   // fewer than width+1 bytes
        {Bytes(13, 0), 6, false, {}},  // more than twice the width
        {{0, 0, 1, 1, 1, 1, 1, 1}, 6, false, {}},                 // one byte too many
        {{0, 0, 1, 1, 1, 0x80, 1}, 6, false, {}},                 // escape cut off
        {{0, 0, 1, 1, 1, 1, 0x80}, 6, false, {}},                 // escape in the last byte
        {{0, 0, 0x80, 1, 0, 0x80, 2, 0, 0x80, 3}, 6, false, {}},  // the bytes run out
    };
    for (const auto& c : cases) {
        Values v;
        EXPECT_EQ(Decode(c.body, c.width, v), c.ok) << testing::PrintToString(c.body);
        EXPECT_TRUE(!c.ok || v == c.values) << testing::PrintToString(v);
    }
    // Every cut of a valid coded row is refused, though the bytes after the
    // cut, if read, would complete it.
    const Values values = {100, 101, 30000, 30001, 5, 6, 7, 60000, 60001, 60002, 3};
    const Bytes body = Body(Encode(values));
    ASSERT_LT(body.size(), 2 * values.size());
    for (std::size_t cut = 0; cut < body.size(); ++cut) {
        Values v;
        EXPECT_FALSE(Decode(Bytes(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(cut)), 11, v)) << cut;
    }
}

TEST(SbigRowCodec, EncodesCanonicallyAndRawWhenCodingSavesNothing)
{
    const struct {
        Values values;
        Bytes encoded;
    } cases[] = {
        // Deltas within -127..127 are one byte; 128 and -128 take the escape;
        // values keep bits 0..15.
        {{1000, 1127, 1000, 1128, 1000, 873, 873, 70000, 4464},
         {16, 0, 0xE8, 0x03, 0x7F, 0x81, 0x80, 0x68, 0x04, 0x80, 0xE8, 0x03, 0x81, 0x00, 0x80, 0x70, 0x11, 0x00}},
        // Two escapes: 10 bytes, as long as raw, which a reader would take
        // for raw values: it must be raw. One escape fewer: coded.
        {{10, 5000, 9000, 9001, 9002}, {10, 0, 10, 0, 0x88, 0x13, 0x28, 0x23, 0x29, 0x23, 0x2A, 0x23}},
        {{10, 5000, 5001, 5002, 5003}, {8, 0, 10, 0, 0x80, 0x88, 0x13, 1, 1, 1}},
        {{}, {0, 0}},
        {{65535}, {2, 0, 0xFF, 0xFF}},  // width 1: always raw
    };
    for (const auto& c : cases)
        EXPECT_EQ(Encode(c.values), c.encoded) << testing::PrintToString(c.values);

    // 40000 pixels: a raw row would need a count of 80000. A smooth row is
    // coded; a row of escapes fits no count at all and is refused.
    Values wide(40000);
    for (std::size_t x = 0; x < wide.size(); ++x)
        wide[x] = 1000 + static_cast<uint32_t>(x % 50);
    ASSERT_EQ(Encode(wide).size(), 2u + 40001u);
    for (std::size_t x = 0; x < wide.size(); ++x)
        wide[x] = (x % 2) ? 60000 : 0;
    EXPECT_EQ(Encode(wide).size(), 0u);
}

TEST(SbigRowCodec, RandomAndStructuredRowsRoundTrip)
{
    std::mt19937 rng(1234);
    for (int trial = 0; trial < 600; ++trial) {
        const int32_t width = 1 + static_cast<int32_t>(rng() % 300);
        Values values(static_cast<std::size_t>(width));
        uint32_t v = rng() & 0xFFFF;
        for (uint32_t& value : values) {
            switch (trial % 4) {
            case 0: v = rng() & 0xFFFF; break;                                                     // noise
            case 1: v = (v + (rng() % 255) - 127) & 0xFFFF; break;                                 // every step in range
            case 2: v = rng() % 20 == 0 ? rng() & 0xFFFF : (v + rng() % 7 - 3) & 0xFFFF; break;  // sky with stars
            default: v = rng() % 2 ? 0 : 65535; break;                                             // saturation edges
            }
            value = v;
        }
        const Bytes encoded = Encode(values);
        ASSERT_LE(encoded.size(), CSbigRowCodec::MaxRowBytes(width));
        Values back;
        ASSERT_TRUE(Decode(Body(encoded), width, back)) << "trial " << trial;
        ASSERT_EQ(back, values) << "trial " << trial;
    }
}
