#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

// A strict reader for the JSON the command line writes: the flat objects
// `info --json` prints (string, integer and boolean values only), and with
// ParseValue any document of those values, null, fractions, arrays and
// objects (the remove-blooming report). Parsing fails on anything that is
// not valid JSON of that shape (trailing text included).
namespace FlatJson {

struct Value {
    enum Kind { String, Number, Bool, Null, Array, Object } kind = String;
    std::string text;   // String: the decoded text; Number: as written
    long long number = 0;
    bool flag = false;
    std::vector<Value> items;                          // Array
    std::vector<std::pair<std::string, Value>> members;  // Object, in order

    // The member named key, or null.
    const Value* Find(const std::string& key) const;
};

bool Parse(const std::string& line, std::map<std::string, Value>& object, std::string& error);
bool ParseValue(const std::string& text, Value& value, std::string& error);

}  // namespace FlatJson
