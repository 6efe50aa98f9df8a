#pragma once
#include <cstdint>
#include <string>

// Builds one JSON object on one line, keys in the order they are added.
class CJsonLine {
public:
    void AddString(const std::string& key, const std::string& value);
    void AddInt(const std::string& key, int64_t value);
    void AddBool(const std::string& key, bool value);
    // value is JSON text already (an array, an object, a number, null).
    void AddRaw(const std::string& key, const std::string& value);
    // The finished object, without a line end.
    std::string Text() const;

    // value as a JSON string literal with its quotes. Bytes that are not valid
    // UTF-8 become U+FFFD so that the line always parses.
    static std::string Quote(const std::string& value);

private:
    void AddKey(const std::string& key);

    std::string m_body;
};
