#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// Builds FITS header cards: 80 characters each, keyword in columns 1-8,
// "= " and a fixed-format value after it, an optional " / comment" cut at
// column 80. Text a header cannot hold (anything but printable ASCII)
// becomes '?'.
class CFitsCard {
public:
    static constexpr std::size_t kBytes = 80;

    static std::string Integer(const std::string& keyword, int64_t value, const std::string& comment = "");
    static std::string Logical(const std::string& keyword, bool value, const std::string& comment = "");
    // A string value: one card, or with the CONTINUE convention (FITS 4.0)
    // several when it does not fit in one; the comment goes on the last card
    // when there is room.
    static std::vector<std::string> String(const std::string& keyword, const std::string& value,
                                           const std::string& comment = "");
    // HISTORY or COMMENT cards carrying text, as many as it needs (72
    // characters each).
    static std::vector<std::string> Commentary(const std::string& keyword, const std::string& text);
    static std::string End();

    // text with every byte outside printable ASCII replaced by '?'.
    static std::string Printable(const std::string& text);
    // "YYYY-MM-DDThh:mm:ss" in UTC, the form of the DATE keyword.
    static std::string UtcDate(std::time_t when);

private:
    static std::string Card(const std::string& keyword, const std::string& rest);
    static std::string WithComment(std::string card, const std::string& comment);
};
