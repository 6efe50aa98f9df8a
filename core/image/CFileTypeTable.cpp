#include "CFileTypeTable.h"

#include <cstring>

namespace {
struct SEntry {
    const char* keyword;
    EFileType type;
};

constexpr SEntry kTable[] = {
    {"fit", EFileType::Fits}, {"fits", EFileType::Fits}, {"fts", EFileType::Fits},
    {"st", EFileType::Sbig},  {"237", EFileType::Sbig},  {"255", EFileType::Sbig},
};

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when text begins with keyword, ignoring ASCII case; text may be
// shorter than the keyword, which is then no match.
bool BeginsWithNoCase(const char* text, const char* keyword)
{
    for (std::size_t i = 0; keyword[i] != '\0'; ++i) {
        if (text[i] == '\0' || AsciiLower(text[i]) != AsciiLower(keyword[i]))
            return false;
    }
    return true;
}
}  // namespace

EFileType CFileTypeTable::Lookup(const std::string& path)
{
    const char* dot = std::strrchr(path.c_str(), '.');
    if (dot == nullptr)
        return EFileType::None;
    for (const SEntry& entry : kTable) {
        if (BeginsWithNoCase(dot + 1, entry.keyword))
            return entry.type;
    }
    return EFileType::None;
}
