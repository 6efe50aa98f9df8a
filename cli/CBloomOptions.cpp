#include "CBloomOptions.h"

#include <sstream>

#include "CArgParser.h"
#include "CBoundedInt.h"

namespace {
std::vector<std::string> SplitCommas(const std::string& text)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, ','))
        parts.push_back(part);
    if (!text.empty() && text.back() == ',')
        parts.emplace_back();
    return parts;
}
}  // namespace

bool CBloomOptionsParser::Parse(const std::vector<std::string>& args, CBloomOptions& options)
{
    CArgParser parser({{"intensity", 0, true},
                       {"length", 0, true},
                       {"width", 0, true},
                       {"red", 0, true},
                       {"green", 0, true},
                       {"blue", 0, true},
                       {"planes", 0, true},
                       {"mirror", 0, false},
                       {"region", 0, true},
                       {"output", 'o', true},
                       {"in-place", 0, false},
                       {"jobs", 'j', true},
                       {"quiet", 'q', false},
                       {"mask", 0, true},
                       {"mask-dir", 0, true},
                       {"history", 0, false},
                       {"report", 0, true},
                       {"help", 'h', false},
                       {"version", 0, false}});
    if (!parser.Parse(args)) {
        m_error = parser.m_error;
        return false;
    }
    m_wantsHelp = parser.Has("help");
    m_wantsVersion = parser.Has("version");
    if (m_wantsHelp || m_wantsVersion)
        return true;

    // The single-value options set every plane; a per-plane triple overrides
    // them for its plane whatever the order on the command line.
    std::array<bool, 3> tripleGiven{false, false, false};
    std::array<CPlaneParameters, 3> triples;
    auto bounded = [this](const std::string& name, const std::string& text, int64_t min, int64_t max,
                          int64_t& number) {
        std::string message;
        if (CBoundedInt::Parse(text, min, max, number, message))
            return true;
        m_error = "--" + name + ": " + message;
        return false;
    };
    for (const auto& [name, value] : parser.m_options) {
        int64_t number = 0;
        if (name == "intensity") {
            if (!bounded(name, value, CBloomOptions::kMinIntensity, CBloomOptions::kMaxIntensity, number))
                return false;
            options.mono.intensity = static_cast<uint32_t>(number);
        } else if (name == "length") {
            if (!bounded(name, value, CBloomOptions::kMinLength, CBloomOptions::kMaxLength, number))
                return false;
            options.mono.length = static_cast<int32_t>(number);
        } else if (name == "width") {
            if (!bounded(name, value, CBloomOptions::kMinWidth, CBloomOptions::kMaxWidth, number))
                return false;
            options.mono.width = static_cast<int32_t>(number);
        } else if (name == "red" || name == "green" || name == "blue") {
            std::size_t plane = name == "red" ? 0 : name == "green" ? 1 : 2;
            if (!ParseTriple(name, value, triples[plane]))
                return false;
            tripleGiven[plane] = true;
        } else if (name == "planes") {
            if (!ParsePlanes(value, options.planes))
                return false;
        } else if (name == "region") {
            if (!ParseRegion(value, options.region))
                return false;
            options.hasRegion = true;
        } else if (name == "jobs") {
            if (!bounded(name, value, 1, CBloomOptions::kMaxJobs, number))
                return false;
            options.jobs = number;
        } else if (name == "output") {
            if (value.empty()) {
                m_error = "--output: the path is empty";
                return false;
            }
            options.output = value;
        } else if (name == "mask" || name == "mask-dir" || name == "report") {
            if (value.empty()) {
                m_error = "--" + name + ": the path is empty";
                return false;
            }
            (name == "mask" ? options.mask : name == "mask-dir" ? options.maskDir : options.report) = value;
        } else if (name == "history") {
            options.history = true;
        } else if (name == "mirror") {
            options.mirror = true;
        } else if (name == "in-place") {
            options.inPlace = true;
        } else if (name == "quiet") {
            options.quiet = true;
        }
    }
    for (std::size_t plane = 0; plane < 3; ++plane)
        options.color[plane] = tripleGiven[plane] ? triples[plane] : options.mono;

    if (options.inPlace && !options.output.empty()) {
        m_error = "--in-place and --output exclude each other";
        return false;
    }
    if (!options.inPlace && options.output.empty()) {
        m_error = "give --output PATH, or --in-place to rewrite the input files";
        return false;
    }
    options.inputs = parser.m_operands;
    if (options.inputs.empty()) {
        m_error = "no input file";
        return false;
    }
    if (!options.mask.empty() && !options.maskDir.empty()) {
        m_error = "--mask and --mask-dir exclude each other";
        return false;
    }
    if (!options.mask.empty() && options.inputs.size() > 1) {
        m_error = "--mask takes one input file; use --mask-dir DIR for several";
        return false;
    }
    return true;
}

bool CBloomOptionsParser::ParseTriple(const std::string& name, const std::string& text,
                                      CPlaneParameters& parameters)
{
    std::vector<std::string> parts = SplitCommas(text);
    if (parts.size() != 3) {
        m_error = "--" + name + ": give three values, INTENSITY,LENGTH,WIDTH";
        return false;
    }
    struct Field {
        const char* label;
        int64_t min, max;
    };
    const Field fields[3] = {{"Intensity", CBloomOptions::kMinIntensity, CBloomOptions::kMaxIntensity},
                             {"Length", CBloomOptions::kMinLength, CBloomOptions::kMaxLength},
                             {"Width", CBloomOptions::kMinWidth, CBloomOptions::kMaxWidth}};
    int64_t values[3] = {0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        std::string message;
        if (!CBoundedInt::Parse(parts[k], fields[k].min, fields[k].max, values[k], message)) {
            m_error = "--" + name + ": " + fields[k].label + ": " + message;
            return false;
        }
    }
    parameters.intensity = static_cast<uint32_t>(values[0]);
    parameters.length = static_cast<int32_t>(values[1]);
    parameters.width = static_cast<int32_t>(values[2]);
    return true;
}

bool CBloomOptionsParser::ParseRegion(const std::string& text, CRegion& region)
{
    std::vector<std::string> parts = SplitCommas(text);
    int64_t values[4] = {0, 0, 0, 0};
    std::string message;
    bool ok = parts.size() == 4;
    for (std::size_t k = 0; ok && k < 4; ++k)
        ok = CBoundedInt::Parse(parts[k], INT32_MIN, INT32_MAX, values[k], message);
    if (!ok) {
        m_error = "--region: give four integers, LEFT,TOP,RIGHT,BOTTOM";
        return false;
    }
    if (values[2] < values[0] || values[3] < values[1]) {
        m_error = "--region: RIGHT must not be less than LEFT, nor BOTTOM less than TOP";
        return false;
    }
    region = {static_cast<int32_t>(values[0]), static_cast<int32_t>(values[1]), static_cast<int32_t>(values[2]),
              static_cast<int32_t>(values[3])};
    return true;
}

bool CBloomOptionsParser::ParsePlanes(const std::string& text, std::array<bool, 3>& planes)
{
    std::array<bool, 3> chosen{false, false, false};
    for (char letter : text) {
        switch (letter) {
        case 'r': case 'R': chosen[0] = true; break;
        case 'g': case 'G': chosen[1] = true; break;
        case 'b': case 'B': chosen[2] = true; break;
        default:
            m_error = "--planes: use the letters r, g and b";
            return false;
        }
    }
    if (text.empty()) {
        m_error = "--planes: use the letters r, g and b";
        return false;
    }
    planes = chosen;
    return true;
}
