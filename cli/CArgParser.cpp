#include "CArgParser.h"

CArgParser::CArgParser(std::vector<COptionRule> rules) : m_rules(std::move(rules)) {}

const COptionRule* CArgParser::FindLong(const std::string& name) const
{
    for (const COptionRule& rule : m_rules)
        if (rule.longName == name)
            return &rule;
    return nullptr;
}

const COptionRule* CArgParser::FindShort(char name) const
{
    for (const COptionRule& rule : m_rules)
        if (rule.shortName != 0 && rule.shortName == name)
            return &rule;
    return nullptr;
}

bool CArgParser::Has(const std::string& longName) const
{
    for (const auto& option : m_options)
        if (option.first == longName)
            return true;
    return false;
}

bool CArgParser::Parse(const std::vector<std::string>& args)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            m_operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const COptionRule* rule = nullptr;
        std::string value;
        bool hasInlineValue = false;
        std::string shown;
        if (arg[1] == '-') {
            std::size_t equals = arg.find('=');
            std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            shown = "--" + name;
            rule = FindLong(name);
            if (rule && equals != std::string::npos) {
                if (!rule->takesValue) {
                    m_error = "option '" + shown + "' takes no value";
                    return false;
                }
                value = arg.substr(equals + 1);
                hasInlineValue = true;
            }
        } else {
            shown = arg.substr(0, 2);
            rule = FindShort(arg[1]);
            if (rule && arg.size() > 2) {
                if (!rule->takesValue) {
                    m_error = "option '" + shown + "' takes no value";
                    return false;
                }
                value = arg.substr(2);
                hasInlineValue = true;
            }
        }
        if (!rule) {
            m_error = "unknown option '" + shown + "'";
            return false;
        }
        if (rule->takesValue && !hasInlineValue) {
            if (i + 1 >= args.size()) {
                m_error = "option '" + shown + "' needs a value";
                return false;
            }
            value = args[++i];
        }
        m_options.emplace_back(rule->longName, value);
    }
    return true;
}
