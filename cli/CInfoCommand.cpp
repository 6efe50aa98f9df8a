#include "CInfoCommand.h"

#include "CArgParser.h"
#include "CFileSession.h"
#include "CImageFacts.h"
#include "CUsage.h"

const char* CInfoCommand::Help()
{
    return "Usage: dorvane-cli info [--json] FILE...\n"
           "\n"
           "Reports, for each FITS or SBIG Type 3 file: the format, width, height, bits\n"
           "per pixel, planes (1 or 3), full-scale value, BZERO and BSCALE (FITS) or\n"
           "whether the file is compressed (SBIG), and the automatic display stretch.\n"
           "\n"
           "  --json     one JSON object per line, with the keys path, format, width,\n"
           "             height, bits_per_pixel, planes, max_value, stretch_low,\n"
           "             stretch_high, and bzero and bscale (FITS) or compressed (SBIG)\n"
           "  -h, --help show this help\n"
           "  --version  show the version\n"
           "\n"
           "Exit status: 0 all files read, 1 a file failed (\"PATH: message\" on stderr),\n"
           "2 usage error.\n";
}

int CInfoCommand::Run(const std::vector<std::string>& args, CCliIo& io)
{
    CArgParser parser({{"json", 0, false}, {"help", 'h', false}, {"version", 0, false}});
    if (!parser.Parse(args))
        return CUsage::Fail(io, "info", parser.m_error);
    if (parser.Has("help")) {
        io.out << Help();
        return kExitOk;
    }
    if (parser.Has("version")) {
        io.out << CUsage::VersionLine() << "\n";
        return kExitOk;
    }
    if (parser.m_operands.empty())
        return CUsage::Fail(io, "info", "no input file");
    const bool json = parser.Has("json");
    int status = kExitOk;
    for (const std::string& path : parser.m_operands) {
        CFileSession session(0);
        if (!session.Open(path)) {
            for (const std::string& message : session.Failure())
                io.err << path << ": " << message << "\n";
            status = kExitFailed;
            continue;
        }
        CImageFacts facts = CImageFacts::FromDocument(session.m_doc);
        io.out << (json ? facts.JsonLine(path) : facts.TextLine(path)) << "\n";
    }
    io.out.flush();
    return status;
}
