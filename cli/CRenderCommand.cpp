#include "CRenderCommand.h"

#include "CArgParser.h"
#include "CBoundedInt.h"
#include "CDisplayPicture.h"
#include "CFileKey.h"
#include "CFileSession.h"
#include "CPngWriter.h"
#include "CUsage.h"
#include "image/CAstroImage.h"

#include <new>

namespace {
constexpr int64_t kMaxZoom = 1600;  // the desktop view's largest zoom
}  // namespace

const char* CRenderCommand::Help()
{
    return "Usage: dorvane-cli render [--min N] [--max N] [--zoom PERCENT] FILE --png OUT.png\n"
           "\n"
           "Writes the picture the desktop program shows for FILE as an 8-bit PNG: grey\n"
           "for a monochrome image, RGB for a colour one, through the program's display\n"
           "mapping (raw value Min shown black, Max white, linear between).\n"
           "\n"
           "  --png OUT.png    the picture to write (required)\n"
           "  --min N          raw value shown black, 0 to the image's full scale\n"
           "                   (default: the automatic stretch)\n"
           "  --max N          raw value shown white, 0 to the image's full scale\n"
           "                   (default: the automatic stretch); below Min inverts\n"
           "  --zoom PERCENT   1 to 1600 (default 100); enlarging repeats pixels\n"
           "                   (nearest neighbour), reducing averages each block of\n"
           "                   pixels (area average)\n"
           "  -h, --help       show this help\n"
           "  --version        show the version\n"
           "\n"
           "Exit status: 0 written, 1 failed (\"PATH: message\" on stderr), 2 usage error.\n";
}

int CRenderCommand::Run(const std::vector<std::string>& args, CCliIo& io)
{
    CArgParser parser({{"min", 0, true},
                       {"max", 0, true},
                       {"zoom", 0, true},
                       {"png", 0, true},
                       {"help", 'h', false},
                       {"version", 0, false}});
    if (!parser.Parse(args))
        return CUsage::Fail(io, "render", parser.m_error);
    if (parser.Has("help")) {
        io.out << Help();
        return kExitOk;
    }
    if (parser.Has("version")) {
        io.out << CUsage::VersionLine() << "\n";
        return kExitOk;
    }
    CRenderOptions options;
    std::string message;
    for (const auto& [name, value] : parser.m_options) {
        bool ok = true;
        if (name == "min") {
            ok = CBoundedInt::Parse(value, 0, 65535, options.min, message);
            options.hasMin = true;
        } else if (name == "max") {
            ok = CBoundedInt::Parse(value, 0, 65535, options.max, message);
            options.hasMax = true;
        } else if (name == "zoom") {
            ok = CBoundedInt::Parse(value, 1, kMaxZoom, options.zoom, message);
        } else if (name == "png") {
            options.png = value;
        }
        if (!ok)
            return CUsage::Fail(io, "render", "--" + name + ": " + message);
    }
    if (options.png.empty())
        return CUsage::Fail(io, "render", "--png OUT.png is required");
    if (parser.m_operands.size() != 1)
        return CUsage::Fail(io, "render", parser.m_operands.empty() ? "no input file" : "one input file only");
    options.input = parser.m_operands.front();
    if (CFileKey::Of(options.png) == CFileKey::Of(options.input))
        return CUsage::Fail(io, "render", options.png + ": the output would replace the input file");

    try {
        return Render(options, io);
    } catch (const std::bad_alloc&) {
        // The writer has removed its temporary file on the way out.
        io.err << options.input << ": Not enough memory to render the image.\n";
        return kExitFailed;
    }
}

int CRenderCommand::Render(const CRenderOptions& options, CCliIo& io)
{
    std::string message;
    CFileSession session(0);
    if (!session.Open(options.input)) {
        for (const std::string& failure : session.Failure())
            io.err << options.input << ": " << failure << "\n";
        return kExitFailed;
    }
    CAstroImage& image = *session.m_doc.m_pImage;
    // The stretch dialog accepts 0 to the image's full scale.
    const int64_t fullScale = image.m_maxValue;
    for (const char* name : {"min", "max"}) {
        const int64_t value = name[1] == 'i' ? options.min : options.max;
        const bool given = name[1] == 'i' ? options.hasMin : options.hasMax;
        if (given && value > fullScale)
            return CUsage::Fail(io, "render",
                                std::string("--") + name + ": " + CBoundedInt::BoundsMessage(0, fullScale));
    }
    if (options.hasMin)
        image.m_stretchLow = static_cast<int32_t>(options.min);
    if (options.hasMax)
        image.m_stretchHigh = static_cast<int32_t>(options.max);

    CZoomScaler::Picture picture = CDisplayPicture::Build(image, session.m_shared.m_nDisplayBpp);
    picture = CZoomScaler::Scale(picture, static_cast<int32_t>(options.zoom));
    if (!CPngWriter::Write(options.png, picture.width, picture.height, picture.channels, picture.pixels, message)) {
        io.err << options.png << ": " << message << "\n";
        return kExitFailed;
    }
    return kExitOk;
}
