#include "CPngWriter.h"

#include <png.h>

#include <csetjmp>

#include "support/CAtomicFileWriter.h"

namespace {
void AppendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* encoded = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    encoded->insert(encoded->end(), data, data + length);
}

void NoFlush(png_structp) {}

// Nothing between setjmp and a libpng error owns a destructor, so the
// longjmp out of libpng skips none. A failed allocation in AppendBytes cannot
// unwind through libpng's C frames, so the buffer is reserved up front.
bool EncodeRows(std::vector<uint8_t>* encoded, png_uint_32 width, png_uint_32 height, int channels,
                const uint8_t* pixels)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, encoded, AppendBytes, NoFlush);
    png_set_IHDR(png, info, width, height, 8, channels == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    for (png_uint_32 y = 0; y < height; ++y)
        png_write_row(png, pixels + y * stride);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
}  // namespace

bool CPngWriter::Encode(int32_t width, int32_t height, int channels, const std::vector<uint8_t>& pixels,
                        std::vector<uint8_t>& encoded)
{
    if (width < 1 || height < 1 || (channels != 1 && channels != 3) ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                             static_cast<std::size_t>(channels))
        return false;
    encoded.clear();
    // Worst case of deflate on incompressible rows, plus room for the chunks.
    encoded.reserve(pixels.size() + pixels.size() / 64 + static_cast<std::size_t>(height) * 8 + 4096);
    return EncodeRows(&encoded, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), channels,
                      pixels.data());
}

bool CPngWriter::Write(const std::string& path, int32_t width, int32_t height, int channels,
                       const std::vector<uint8_t>& pixels, std::string& message)
{
    std::vector<uint8_t> encoded;
    if (!Encode(width, height, channels, pixels, encoded)) {
        message = "Failed to encode the picture.";
        return false;
    }
    CAtomicFileWriter writer;
    if (!writer.Begin(path)) {
        message = CSaveMessages::Text(writer.BeginFailure(), false);
        return false;
    }
    if (!writer.Write(encoded.data(), encoded.size())) {
        message = "Failed to write image data.";
        return false;
    }
    if (!writer.Commit()) {
        message = "Failed to close file.";
        return false;
    }
    return true;
}
