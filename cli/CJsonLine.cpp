#include "CJsonLine.h"

#include <cstdio>

namespace {
// Length of the valid UTF-8 sequence starting at i, or 0 when it is not one.
std::size_t Utf8Length(const std::string& s, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char lead = byte(i);
    std::size_t length = 0;
    uint32_t code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8.
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}
}  // namespace

std::string CJsonLine::Quote(const std::string& value)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < value.size();) {
        unsigned char c = static_cast<unsigned char>(value[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
            ++i;
        } else if (std::size_t length = Utf8Length(value, i)) {
            out.append(value, i, length);
            i += length;
        } else {
            out += "\\ufffd";
            ++i;
        }
    }
    out += '"';
    return out;
}

void CJsonLine::AddKey(const std::string& key)
{
    if (!m_body.empty())
        m_body += ',';
    m_body += Quote(key);
    m_body += ':';
}

void CJsonLine::AddString(const std::string& key, const std::string& value)
{
    AddKey(key);
    m_body += Quote(value);
}

void CJsonLine::AddInt(const std::string& key, int64_t value)
{
    AddKey(key);
    m_body += std::to_string(value);
}

void CJsonLine::AddBool(const std::string& key, bool value)
{
    AddKey(key);
    m_body += value ? "true" : "false";
}

void CJsonLine::AddRaw(const std::string& key, const std::string& value)
{
    AddKey(key);
    m_body += value;
}

std::string CJsonLine::Text() const
{
    return "{" + m_body + "}";
}
