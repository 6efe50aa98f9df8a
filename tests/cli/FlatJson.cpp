#include "FlatJson.h"

#include <cstdlib>

namespace FlatJson {
namespace {
struct Reader {
    const std::string& s;
    std::size_t i = 0;
    std::string error;

    void SkipSpace()
    {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
    }
    bool Expect(char c)
    {
        SkipSpace();
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        error = std::string("expected '") + c + "' at " + std::to_string(i);
        return false;
    }
    static void AppendUtf8(std::string& out, unsigned code)
    {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    bool String(std::string& out)
    {
        if (!Expect('"'))
            return false;
        while (i < s.size() && s[i] != '"') {
            unsigned char c = static_cast<unsigned char>(s[i]);
            if (c < 0x20) {
                error = "raw control character in a string";
                return false;
            }
            if (c != '\\') {
                out += s[i++];
                continue;
            }
            if (++i >= s.size())
                break;
            char e = s[i++];
            switch (e) {
            case '"': case '\\': case '/': out += e; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'u': {
                if (i + 4 > s.size()) {
                    error = "short \\u escape";
                    return false;
                }
                AppendUtf8(out, static_cast<unsigned>(std::strtoul(s.substr(i, 4).c_str(), nullptr, 16)));
                i += 4;
                break;
            }
            default:
                error = "bad escape";
                return false;
            }
        }
        return Expect('"');
    }
    bool ValueOf(Value& value)
    {
        SkipSpace();
        if (i < s.size() && s[i] == '"') {
            value.kind = Value::String;
            return String(value.text);
        }
        if (s.compare(i, 4, "true") == 0 || s.compare(i, 5, "false") == 0) {
            value.kind = Value::Bool;
            value.flag = s[i] == 't';
            i += value.flag ? 4 : 5;
            return true;
        }
        std::size_t start = i;
        if (i < s.size() && s[i] == '-')
            ++i;
        std::size_t digits = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9')
            ++i;
        if (i == digits || (s[digits] == '0' && i - digits > 1)) {
            error = "bad value at " + std::to_string(start);
            return false;
        }
        value.kind = Value::Number;
        value.number = std::stoll(s.substr(start, i - start));
        return true;
    }
};
}  // namespace

bool Parse(const std::string& line, std::map<std::string, Value>& object, std::string& error)
{
    Reader reader{line, 0, {}};
    bool ok = reader.Expect('{');
    reader.SkipSpace();
    bool empty = ok && reader.i < line.size() && line[reader.i] == '}';
    while (ok && !empty) {
        std::string key;
        Value value;
        ok = reader.String(key) && reader.Expect(':') && reader.ValueOf(value);
        if (ok && !object.emplace(key, value).second) {
            reader.error = "duplicate key " + key;
            ok = false;
        }
        reader.SkipSpace();
        if (ok && reader.i < line.size() && line[reader.i] == ',') {
            ++reader.i;
            continue;
        }
        break;
    }
    ok = ok && reader.Expect('}');
    reader.SkipSpace();
    if (ok && reader.i != line.size()) {
        reader.error = "trailing text";
        ok = false;
    }
    error = reader.error;
    return ok;
}

}  // namespace FlatJson
