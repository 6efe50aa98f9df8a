#include "CBoundedInt.h"

#include <charconv>

bool CBoundedInt::Parse(const std::string& text, int64_t min, int64_t max, int64_t& value,
                        std::string& message)
{
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    // Where only positive values are allowed, text that is not a number at
    // all gets the dialogs' words for that.
    bool digitsOnly = first != last;
    for (const char* c = first; c != last; ++c)
        digitsOnly = digitsOnly && *c >= '0' && *c <= '9';
    if (min >= 0 && !digitsOnly) {
        message = "Please enter a positive integer.";
        return false;
    }
    int64_t parsed = 0;
    auto [end, error] = std::from_chars(first, last, parsed);
    // Out-of-range numbers of any length are refused with the same words as
    // values just outside the bounds.
    if (first == last || end != last || error != std::errc() || parsed < min || parsed > max) {
        message = BoundsMessage(min, max);
        return false;
    }
    value = parsed;
    return true;
}

std::string CBoundedInt::BoundsMessage(int64_t min, int64_t max)
{
    return "Please enter an integer between " + std::to_string(min) + " and " + std::to_string(max) + ".";
}
