#include "CSbigHeader.h"

#include <cctype>
#include <string_view>

#include "image/CAstroImage.h"

namespace {
constexpr uint8_t kCarriageReturn = 13;
}  // namespace

std::size_t CSbigHeader::LineLength(const uint8_t* line, std::size_t remaining)
{
    const std::size_t limit = remaining < kLineLimit ? remaining : kLineLimit;
    for (std::size_t i = 0; i < limit; ++i) {
        if (line[i] == kCarriageReturn)
            return i + 1;
    }
    return limit;
}

bool CSbigHeader::Scan(const uint8_t* header, std::size_t size, int32_t& width, int32_t& height)
{
    int recognised = 0;
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t length = LineLength(header + pos, size - pos);
        const char* line = reinterpret_cast<const char*>(header + pos);
        if (CAstroImage::KeywordMatches("End", line, length))
            return recognised >= 2;
        if (CAstroImage::KeywordMatches("Height", line, length)) {
            height = CAstroImage::KeywordValue(line, length);
            ++recognised;
        } else if (CAstroImage::KeywordMatches("Width", line, length)) {
            width = CAstroImage::KeywordValue(line, length);
            ++recognised;
        }
        pos += length;
    }
    return false;
}

std::vector<std::string> CSbigHeader::Lines(const uint8_t* header, std::size_t size)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < size) {
        const std::size_t length = LineLength(header + pos, size - pos);
        std::string line(reinterpret_cast<const char*>(header + pos), length);
        pos += length;
        // Lines end in a line feed and a carriage return, in either order;
        // the zeros after "End" fill the header.
        const std::size_t first = line.find_first_not_of(std::string("\n\r\0", 3));
        if (first == std::string::npos)
            break;
        line = line.substr(first, line.find_last_not_of(std::string("\n\r\0", 3)) + 1 - first);
        const bool bEnd = CAstroImage::KeywordMatches("End", line.c_str(), line.size());
        lines.push_back(std::move(line));
        if (bEnd)
            break;
    }
    return lines;
}

bool CSbigHeader::AnnouncesCompression(const uint8_t* header, std::size_t size)
{
    // The camera writes "<model> Compressed Image" or "<model> Image": the
    // word is the one before the line's last, "Image". A word that merely
    // contains it ("Uncompressed") says nothing.
    std::size_t end = LineLength(header, size);
    auto isBlank = [](uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0; };
    while (end > 0 && isBlank(header[end - 1]))
        --end;
    auto endsWithWord = [&](std::string_view word) {
        if (end < word.size())
            return false;
        for (std::size_t i = 0; i < word.size(); ++i)
            if (std::tolower(header[end - word.size() + i]) != word[i])
                return false;
        const std::size_t start = end - word.size();
        return start == 0 || isBlank(header[start - 1]);
    };
    if (!endsWithWord("image"))
        return false;
    end -= std::string_view("image").size();
    while (end > 0 && isBlank(header[end - 1]))
        --end;
    return endsWithWord("compressed");
}
