#pragma once
#include <map>
#include <string>

// A strict reader for the flat JSON objects `info --json` prints: string,
// integer and boolean values only. Parse fails on anything that is not valid
// JSON of that shape (trailing text included).
namespace FlatJson {

struct Value {
    enum Kind { String, Number, Bool } kind = String;
    std::string text;   // String: the decoded text
    long long number = 0;
    bool flag = false;
};

bool Parse(const std::string& line, std::map<std::string, Value>& object, std::string& error);

}  // namespace FlatJson
