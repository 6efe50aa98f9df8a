#include <gtest/gtest.h>

#include <vector>

#include "image/CFitsPixelCodec.h"

namespace {

TEST(FitsPixelCodec, UnsignedSixteenBitWithBzero32768)
{
    const CFitsPixelCodec codec(16, 1, 32768);
    const uint8_t in[] = {0x80, 0x00, 0x7F, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x12, 0x34};
    uint32_t raw[5] = {};
    codec.Decode(in, 5, raw);
    EXPECT_EQ(raw[0], 0u);
    EXPECT_EQ(raw[1], 65535u);
    EXPECT_EQ(raw[2], 32768u);
    EXPECT_EQ(raw[3], 32767u);
    EXPECT_EQ(raw[4], 0x1234u + 32768u);
    uint8_t out[10] = {};
    codec.Encode(raw, 5, out);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 10), std::vector<uint8_t>(in, in + 10));
    const uint32_t zero = 0;
    codec.Encode(&zero, 1, out);
    EXPECT_EQ(out[0], 0x80);
    EXPECT_EQ(out[1], 0x00);
}

TEST(FitsPixelCodec, SignedDataKeepsNegativeValuesAsRead)
{
    const CFitsPixelCodec codec(16, 1, 0);
    const uint8_t in[] = {0xFF, 0xFE, 0x80, 0x00};
    uint32_t raw[2] = {};
    codec.Decode(in, 2, raw);
    EXPECT_EQ(static_cast<int32_t>(raw[0]), -2);
    EXPECT_EQ(static_cast<int32_t>(raw[1]), -32768);
    uint8_t out[4] = {};
    codec.Encode(raw, 2, out);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), std::vector<uint8_t>(in, in + 4));
}

TEST(FitsPixelCodec, ScaledValuesDivideBackTruncatingTowardZero)
{
    const CFitsPixelCodec codec(16, 3, -10);
    const uint8_t in[] = {0x00, 0x05, 0xFF, 0xFB};
    uint32_t raw[2] = {};
    codec.Decode(in, 2, raw);
    EXPECT_EQ(static_cast<int32_t>(raw[0]), 5);    // 5*3-10
    EXPECT_EQ(static_cast<int32_t>(raw[1]), -25);  // -5*3-10
    // A value changed to one that is no multiple of the scale.
    raw[0] = 7;                         // (7+10)/3 = 5.67 -> 5
    raw[1] = static_cast<uint32_t>(-18);  // (-18+10)/3 = -2.67 -> -2
    uint8_t out[4] = {};
    codec.Encode(raw, 2, out);
    EXPECT_EQ(out[1], 0x05);
    EXPECT_EQ(out[2], 0xFF);
    EXPECT_EQ(out[3], 0xFE);
}

TEST(FitsPixelCodec, NegativeScaleOfMinusOne)
{
    const CFitsPixelCodec codec(16, -1, 0);
    const uint8_t in[] = {0x80, 0x00, 0x00, 0x02};
    uint32_t raw[2] = {};
    codec.Decode(in, 2, raw);
    EXPECT_EQ(raw[0], 32768u);
    EXPECT_EQ(static_cast<int32_t>(raw[1]), -2);
    uint8_t out[4] = {};
    codec.Encode(raw, 2, out);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), std::vector<uint8_t>(in, in + 4));
}

TEST(FitsPixelCodec, EightBitValuesAreUnsignedBytes)
{
    const CFitsPixelCodec plain(8, 1, 0);
    const uint8_t in[] = {0, 1, 128, 255};
    uint32_t raw[4] = {};
    plain.Decode(in, 4, raw);
    EXPECT_EQ(raw[2], 128u);
    EXPECT_EQ(raw[3], 255u);
    uint8_t out[4] = {};
    plain.Encode(raw, 4, out);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), std::vector<uint8_t>(in, in + 4));

    const CFitsPixelCodec scaled(8, 2, 100);
    scaled.Decode(in, 4, raw);
    EXPECT_EQ(raw[3], 610u);
    scaled.Encode(raw, 4, out);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 4), std::vector<uint8_t>(in, in + 4));
}

TEST(FitsPixelCodec, LongRunsMatchTheValueByValueRule)
{
    // Long enough for the vectorised loops and their tails.
    std::vector<uint8_t> in(2 * 1037);
    for (std::size_t i = 0; i < in.size(); ++i)
        in[i] = static_cast<uint8_t>(i * 37 + 11);
    for (int32_t bscale : {1, 2}) {
        const CFitsPixelCodec codec(16, bscale, 32768);
        std::vector<uint32_t> raw(1037);
        codec.Decode(in.data(), raw.size(), raw.data());
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const int32_t stored = static_cast<int16_t>((in[2 * i] << 8) | in[2 * i + 1]);
            ASSERT_EQ(static_cast<int32_t>(raw[i]), stored * bscale + 32768) << i;
        }
        std::vector<uint8_t> out(in.size());
        codec.Encode(raw.data(), raw.size(), out.data());
        EXPECT_EQ(out, in);
    }
}

}  // namespace
