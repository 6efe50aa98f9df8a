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
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r'))
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
        if (nested && s.compare(i, 4, "null") == 0) {
            value.kind = Value::Null;
            i += 4;
            return true;
        }
        if (nested && i < s.size() && (s[i] == '[' || s[i] == '{'))
            return Container(value);
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
        if (nested && i < s.size() && s[i] == '.') {
            const std::size_t fraction = ++i;
            while (i < s.size() && s[i] >= '0' && s[i] <= '9')
                ++i;
            if (i == fraction) {
                error = "bad fraction at " + std::to_string(start);
                return false;
            }
        }
        value.kind = Value::Number;
        value.text = s.substr(start, i - start);
        value.number = std::stoll(value.text);
        return true;
    }
    // An array or an object, whatever it holds.
    bool Container(Value& value)
    {
        const bool array = s[i] == '[';
        value.kind = array ? Value::Array : Value::Object;
        ++i;
        SkipSpace();
        if (i < s.size() && s[i] == (array ? ']' : '}')) {
            ++i;
            return true;
        }
        for (;;) {
            Value item;
            std::string key;
            if (!array && !(String(key) && Expect(':')))
                return false;
            if (!ValueOf(item))
                return false;
            if (array)
                value.items.push_back(std::move(item));
            else
                value.members.emplace_back(std::move(key), std::move(item));
            SkipSpace();
            if (i < s.size() && s[i] == ',') {
                ++i;
                SkipSpace();
                continue;
            }
            return Expect(array ? ']' : '}');
        }
    }
    // The result of a parse that read a whole value: nothing may follow it.
    bool Finish(bool ok, std::string& errorOut)
    {
        SkipSpace();
        if (ok && i != s.size()) {
            error = "trailing text";
            ok = false;
        }
        errorOut = error;
        return ok;
    }
    bool nested = false;
};
}  // namespace

const Value* Value::Find(const std::string& key) const
{
    for (const auto& [name, member] : members)
        if (name == key)
            return &member;
    return nullptr;
}

bool ParseValue(const std::string& text, Value& value, std::string& error)
{
    Reader reader{text, 0, {}};
    reader.nested = true;
    bool ok = reader.ValueOf(value);
    return reader.Finish(ok, error);
}

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
    return reader.Finish(ok, error);
}

}  // namespace FlatJson
