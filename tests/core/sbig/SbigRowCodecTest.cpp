#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "image/CSbigRowCodec.h"

namespace {

std::vector<uint8_t> Encode(const std::vector<uint32_t>& values)
{
    std::vector<uint8_t> out(CSbigRowCodec::MaxRowBytes(static_cast<int32_t>(values.size())), 0xEE);
    const std::size_t n = CSbigRowCodec::EncodeRow(values.data(), static_cast<int32_t>(values.size()), out.data());
    out.resize(n);
    return out;
}

// Decodes an encoded row (count included) from an exactly sized copy of its
// body, so that a read past the row is caught by the sanitizers.
bool Decode(const std::vector<uint8_t>& encoded, int32_t width, std::vector<uint32_t>& values)
{
    const std::size_t length = encoded[0] | (encoded[1] << 8);
    EXPECT_EQ(length + 2, encoded.size());
    std::vector<uint8_t> body(encoded.begin() + 2, encoded.end());
    values.assign(static_cast<std::size_t>(width), 0xDEADBEEF);
    return CSbigRowCodec::DecodeRow(body.data(), body.size(), width, values.data());
}

bool DecodeBody(const std::vector<uint8_t>& body, int32_t width, std::vector<uint32_t>& values)
{
    values.assign(static_cast<std::size_t>(width), 0xDEADBEEF);
    return CSbigRowCodec::DecodeRow(body.data(), body.size(), width, values.data());
}

}  // namespace

TEST(SbigRowCodec, DecodesDeltasEscapesAndWrapAround)
{
    // First pixel 0x1234, +1, -1, escape to 0xFFFF, +1 wraps to 0, -1 wraps
    // back to 0xFFFF, +127 wraps to 126, -127 wraps to 0xFFFF, escape on the
    // last pixel.
    const std::vector<uint8_t> body = {0x34, 0x12, 0x01, 0xFF, 0x80, 0xFF, 0xFF, 0x01,
                                       0xFF, 0x7F, 0x81, 0x80, 0x00, 0x01};
    std::vector<uint32_t> v;
    ASSERT_TRUE(DecodeBody(body, 9, v));
    EXPECT_EQ(v, (std::vector<uint32_t>{0x1234, 0x1235, 0x1234, 0xFFFF, 0, 0xFFFF, 126, 0xFFFF, 256}));
}

TEST(SbigRowCodec, RowOfTwiceTheWidthIsRaw)
{
    // Same byte count as a raw row: read as raw values even though the bytes
    // would also decode as deltas.
    const std::vector<uint8_t> body = {0x34, 0x12, 0xFF, 0xFF, 0x00, 0x01};
    std::vector<uint32_t> v;
    ASSERT_TRUE(DecodeBody(body, 3, v));
    EXPECT_EQ(v, (std::vector<uint32_t>{4660, 65535, 256}));
}

TEST(SbigRowCodec, EncodesCanonically)
{
    // Deltas within -127..127 are one byte; 128 and -128 take the escape.
    const std::vector<uint32_t> values = {1000, 1127, 1000, 1128, 1000, 873, 873, 70000, 4464};
    const std::vector<uint8_t> expected = {
        16, 0,                    // byte count, below the raw 18
        0xE8, 0x03,               // 1000
        0x7F,                     // +127
        0x81,                     // -127
        0x80, 0x68, 0x04,         // 1128 (delta 128)
        0x80, 0xE8, 0x03,         // 1000 (delta -128)
        0x81,                     // -127
        0x00,                     // 0
        0x80, 0x70, 0x11,         // 70000 keeps bits 0..15: 4464
        0x00};                    // 4464 - 4464
    EXPECT_EQ(Encode(values), expected);
}

TEST(SbigRowCodec, FallsBackToRawWhenCodingSavesNothing)
{
    // Width 5 with two escapes: 2 + 3 + 3 + 1 + 1 = 10 bytes, as long as the
    // raw row, which a decoder would take for raw values: it must be raw.
    const std::vector<uint32_t> equal = {10, 5000, 9000, 9001, 9002};
    std::vector<uint8_t> enc = Encode(equal);
    ASSERT_EQ(enc.size(), 12u);
    EXPECT_EQ(enc[2], 10);
    EXPECT_EQ(enc[3], 0);
    EXPECT_EQ(enc[4], 5000 & 0xFF);
    std::vector<uint32_t> back;
    ASSERT_TRUE(Decode(enc, 5, back));
    EXPECT_EQ(back, equal);

    // One escape fewer: 9 bytes, coded.
    const std::vector<uint32_t> shorter = {10, 5000, 5001, 5002, 5003};
    enc = Encode(shorter);
    EXPECT_EQ(enc.size(), 2u + 8u);
    ASSERT_TRUE(Decode(enc, 5, back));
    EXPECT_EQ(back, shorter);

    // Widths 0 and 1 are always raw.
    EXPECT_EQ(Encode({}), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(Encode({65535}), (std::vector<uint8_t>{2, 0, 0xFF, 0xFF}));
}

TEST(SbigRowCodec, RandomAndStructuredRowsRoundTrip)
{
    std::mt19937 rng(1234);
    for (int trial = 0; trial < 2000; ++trial) {
        const int32_t width = 1 + static_cast<int32_t>(rng() % 300);
        std::vector<uint32_t> values(static_cast<std::size_t>(width));
        const int kind = trial % 4;
        uint32_t v = rng() & 0xFFFF;
        for (auto& value : values) {
            switch (kind) {
            case 0: v = rng() & 0xFFFF; break;                                          // noise: mostly escapes
            case 1: v = (v + (rng() % 255) - 127) & 0xFFFF; break;                     // every step in range
            case 2: v = (rng() % 20 == 0) ? rng() & 0xFFFF : (v + rng() % 7 - 3) & 0xFFFF; break;  // sky with stars
            default: v = (rng() % 2) ? 0 : 65535; break;                                // saturation edges
            }
            value = v;
        }
        // First and last pixel far from their neighbours.
        if (width > 2 && trial % 3 == 0) {
            values.front() = 65535 - values[1];
            values.back() = 65535 - values[values.size() - 2];
        }
        const std::vector<uint8_t> enc = Encode(values);
        ASSERT_LE(enc.size(), CSbigRowCodec::MaxRowBytes(width));
        std::vector<uint32_t> back;
        ASSERT_TRUE(Decode(enc, width, back)) << "trial " << trial;
        ASSERT_EQ(back, values) << "trial " << trial;
    }
}

TEST(SbigRowCodec, MalformedRowsAreRefusedWithoutReadingPastThem)
{
    std::vector<uint32_t> v;
    // Width 6 needs 7..12 bytes.
    EXPECT_FALSE(DecodeBody(std::vector<uint8_t>(6, 0), 6, v));          // L < Width+1
    EXPECT_FALSE(DecodeBody(std::vector<uint8_t>(13, 0), 6, v));         // L > 2*Width
    EXPECT_FALSE(DecodeBody({0, 0, 1, 1, 1, 1, 1, 1}, 6, v));            // one byte too many
    EXPECT_FALSE(DecodeBody({0, 0, 1, 1, 1, 0x80, 1}, 6, v));            // escape cut off
    EXPECT_FALSE(DecodeBody({0, 0, 1, 1, 1, 1, 0x80}, 6, v));            // escape in the last byte
    EXPECT_FALSE(DecodeBody({0, 0, 0x80, 1, 0, 0x80, 2, 0, 0x80, 3}, 6, v));  // bytes run out
    EXPECT_TRUE(DecodeBody({0, 0}, 1, v));                               // width 1 is always raw
    EXPECT_FALSE(DecodeBody({}, 1, v));                                  // width 1 is always raw
    EXPECT_TRUE(DecodeBody({}, 0, v));

    // Every cut of a valid coded row is refused, though the bytes after the
    // cut, if read, would complete it.
    const std::vector<uint32_t> values = {100, 101, 30000, 30001, 5, 6, 7, 60000, 60001, 60002, 3};
    const std::vector<uint8_t> enc = Encode(values);
    const std::size_t full = enc.size() - 2;
    ASSERT_LT(full, 2 * values.size());
    for (std::size_t cut = 0; cut < full; ++cut) {
        std::vector<uint8_t> body(enc.begin() + 2, enc.begin() + 2 + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(DecodeBody(body, static_cast<int32_t>(values.size()), v)) << "cut " << cut;
    }
}

TEST(SbigRowCodec, WideRowsKeepTheirCountWithinSixteenBits)
{
    // 40000 pixels: a raw row would need a count of 80000. A smooth row is
    // coded; a row of escapes fits no count at all and is refused.
    std::vector<uint32_t> values(40000);
    for (std::size_t x = 0; x < values.size(); ++x)
        values[x] = 1000 + static_cast<uint32_t>(x % 50);
    const std::vector<uint8_t> enc = Encode(values);
    ASSERT_EQ(enc.size(), 2u + 40001u);
    std::vector<uint32_t> back;
    ASSERT_TRUE(Decode(enc, 40000, back));
    EXPECT_EQ(back, values);

    for (std::size_t x = 0; x < values.size(); ++x)
        values[x] = (x % 2) ? 60000 : 0;
    std::vector<uint8_t> out(CSbigRowCodec::MaxRowBytes(40000));
    EXPECT_EQ(CSbigRowCodec::EncodeRow(values.data(), 40000, out.data()), 0u);
}
