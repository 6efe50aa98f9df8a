#include "image/CFitsCard.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr std::size_t kKeywordBytes = 8;
// Characters of a string value that fit in one card: columns 11 to 80 less
// the two quotes.
constexpr std::size_t kStringRoom = 68;
// A commentary card's text: columns 9 to 80.
constexpr std::size_t kCommentaryRoom = 72;

std::string Quoted(const std::string& value, std::size_t begin, std::size_t end, bool continued)
{
    std::string quoted = "'";
    for (std::size_t i = begin; i < end; ++i) {
        quoted += value[i];
        if (value[i] == '\'')
            quoted += '\'';
    }
    if (continued)
        quoted += '&';
    // Fixed format: at least eight characters between the quotes.
    while (quoted.size() < 9)
        quoted += ' ';
    return quoted + "'";
}

}  // namespace

std::string CFitsCard::Printable(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            c = '?';
    return out;
}

std::string CFitsCard::Card(const std::string& keyword, const std::string& rest)
{
    std::string card = Printable(keyword).substr(0, kKeywordBytes);
    card.resize(kKeywordBytes, ' ');
    card += rest;
    card.resize(kBytes, ' ');
    return card;
}

std::string CFitsCard::WithComment(std::string card, const std::string& comment)
{
    const std::string keyword = card.substr(0, kKeywordBytes);
    std::string text = card.substr(kKeywordBytes);
    text.erase(text.find_last_not_of(' ') + 1);
    if (!comment.empty())
        text += " / " + Printable(comment);
    return Card(keyword, text);
}

std::string CFitsCard::Integer(const std::string& keyword, int64_t value, const std::string& comment)
{
    char field[32];
    std::snprintf(field, sizeof field, "= %20lld", static_cast<long long>(value));
    return WithComment(Card(keyword, field), comment);
}

std::string CFitsCard::Logical(const std::string& keyword, bool value, const std::string& comment)
{
    char field[32];
    std::snprintf(field, sizeof field, "= %20s", value ? "T" : "F");
    return WithComment(Card(keyword, field), comment);
}

std::vector<std::string> CFitsCard::String(const std::string& keyword, const std::string& value,
                                           const std::string& comment)
{
    const std::string text = Printable(value);
    // Each card takes as many characters as fit once quotes are doubled,
    // keeping one column for the '&' that says another card follows.
    std::vector<std::string> cards;
    std::size_t at = 0;
    do {
        std::size_t end = at;
        std::size_t used = 0;
        while (end < text.size() && used + (text[end] == '\'' ? 2 : 1) <= kStringRoom - 1) {
            used += text[end] == '\'' ? 2 : 1;
            ++end;
        }
        // The rest fits this card whole when it needs no '&'.
        std::size_t restUsed = used;
        std::size_t restEnd = end;
        while (restEnd < text.size() && restUsed + (text[restEnd] == '\'' ? 2 : 1) <= kStringRoom) {
            restUsed += text[restEnd] == '\'' ? 2 : 1;
            ++restEnd;
        }
        if (restEnd == text.size())
            end = restEnd;
        const bool continued = end < text.size();
        const std::string field = (cards.empty() ? "= " : "  ") + Quoted(text, at, end, continued);
        cards.push_back(Card(cards.empty() ? keyword : "CONTINUE", field));
        at = end;
    } while (at < text.size());
    if (!comment.empty()) {
        std::string& last = cards.back();
        const std::size_t used = last.find_last_not_of(' ') + 1;
        if (used + 4 <= kBytes)
            last = WithComment(last.substr(0, used), comment);
    }
    return cards;
}

std::vector<std::string> CFitsCard::Commentary(const std::string& keyword, const std::string& text)
{
    const std::string printable = Printable(text);
    std::vector<std::string> cards;
    std::size_t at = 0;
    do {
        cards.push_back(Card(keyword, printable.substr(at, kCommentaryRoom)));
        at += kCommentaryRoom;
    } while (at < printable.size());
    return cards;
}

std::string CFitsCard::End()
{
    return Card("END", "");
}

std::string CFitsCard::UtcDate(std::time_t when)
{
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    return text;
}
