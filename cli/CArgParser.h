#pragma once
#include <string>
#include <utility>
#include <vector>

// One option a sub-command accepts: its long name (without "--"), an optional
// one-letter short name and whether it takes a value.
struct COptionRule {
    std::string longName;
    char shortName = 0;
    bool takesValue = false;
};

// Splits a sub-command's arguments into options (in the order given) and
// operands. Accepts "--name value", "--name=value", "-x value", "-xvalue";
// "--" ends the options. Anything else starting with "-" is an unknown option.
class CArgParser {
public:
    explicit CArgParser(std::vector<COptionRule> rules);

    // False with m_error set on an unknown option or a missing value.
    bool Parse(const std::vector<std::string>& args);
    bool Has(const std::string& longName) const;

    std::vector<std::pair<std::string, std::string>> m_options;  // long name, value
    std::vector<std::string> m_operands;
    std::string m_error;

private:
    const COptionRule* FindLong(const std::string& name) const;
    const COptionRule* FindShort(char name) const;

    std::vector<COptionRule> m_rules;
};
