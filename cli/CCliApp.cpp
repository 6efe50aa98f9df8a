#include "CCliApp.h"

#include "CInfoCommand.h"
#include "CRemoveBloomingCommand.h"
#include "CRenderCommand.h"
#include "CUsage.h"

const char* CCliApp::Help()
{
    return "Usage: dorvane-cli COMMAND [options] FILE...\n"
           "\n"
           "Removes CCD blooming from FITS and SBIG Type 3 images in batches, with the\n"
           "same filter as the Dorvane desktop program.\n"
           "\n"
           "Commands:\n"
           "  info [--json] FILE...            describe images\n"
           "  remove-blooming [options] FILE...\n"
           "                                   filter images (-o or --in-place required)\n"
           "  render [options] FILE --png OUT  write the display picture as a PNG\n"
           "\n"
           "  -h, --help     show this help ('dorvane-cli COMMAND --help' for a command)\n"
           "  --version      show the version\n"
           "\n"
           "Exit status: 0 success, 1 a file failed, 2 usage error.\n";
}

int CCliApp::Run(const std::vector<std::string>& args, CCliIo& io)
{
    int status = RunCommand(args, io);
    // Results that never reached their reader (a full disk, a closed
    // descriptor) are a failure, not a success.
    io.out.flush();
    if (!io.out) {
        io.err << "dorvane-cli: Failed to write to standard output.\n";
        if (status == kExitOk)
            status = kExitFailed;
    }
    return status;
}

int CCliApp::RunCommand(const std::vector<std::string>& args, CCliIo& io)
{
    if (args.empty())
        return CUsage::Fail(io, "", "no command given");
    const std::string& command = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        io.out << Help();
        return kExitOk;
    }
    if (command == "--version") {
        io.out << CUsage::VersionLine() << "\n";
        return kExitOk;
    }
    if (command == "info")
        return CInfoCommand::Run(rest, io);
    if (command == "remove-blooming")
        return CRemoveBloomingCommand::Run(rest, io);
    if (command == "render")
        return CRenderCommand::Run(rest, io);
    if (!command.empty() && command[0] == '-')
        return CUsage::Fail(io, "", "unknown option '" + command + "'");
    return CUsage::Fail(io, "", "unknown command '" + command + "'");
}
