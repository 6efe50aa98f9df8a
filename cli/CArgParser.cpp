#include "CArgParser.h"

CArgParser::CArgParser(std::vector<COptionSpec> specs) : m_specs(std::move(specs)) {}

const COptionSpec* CArgParser::FindLong(const std::string& name) const
{
    for (const COptionSpec& spec : m_specs)
        if (spec.longName == name)
            return &spec;
    return nullptr;
}

const COptionSpec* CArgParser::FindShort(char name) const
{
    for (const COptionSpec& spec : m_specs)
        if (spec.shortName != 0 && spec.shortName == name)
            return &spec;
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
        const COptionSpec* spec = nullptr;
        std::string value;
        bool hasInlineValue = false;
        std::string shown;
        if (arg[1] == '-') {
            std::size_t equals = arg.find('=');
            std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            shown = "--" + name;
            spec = FindLong(name);
            if (spec && equals != std::string::npos) {
                if (!spec->takesValue) {
                    m_error = "option '" + shown + "' takes no value";
                    return false;
                }
                value = arg.substr(equals + 1);
                hasInlineValue = true;
            }
        } else {
            shown = arg.substr(0, 2);
            spec = FindShort(arg[1]);
            if (spec && arg.size() > 2) {
                if (!spec->takesValue) {
                    m_error = "option '" + shown + "' takes no value";
                    return false;
                }
                value = arg.substr(2);
                hasInlineValue = true;
            }
        }
        if (!spec) {
            m_error = "unknown option '" + shown + "'";
            return false;
        }
        if (spec->takesValue && !hasInlineValue) {
            if (i + 1 >= args.size()) {
                m_error = "option '" + shown + "' needs a value";
                return false;
            }
            value = args[++i];
        }
        m_options.emplace_back(spec->longName, value);
    }
    return true;
}
