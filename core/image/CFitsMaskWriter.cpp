#include "image/CFitsMaskWriter.h"

#include <algorithm>
#include <functional>

#include "filter/CFilterRunRecord.h"
#include "image/CFitsCard.h"
#include "image/CFitsHeader.h"
#include "support/CAtomicFileWriter.h"
#include "support/CSaveMessages.h"
#include "support/IMessageSink.h"

namespace {

const char* const kPlaneNames[3] = {"red", "green", "blue"};

// One parameter: a single keyword when every filtered plane agrees, else one
// numbered keyword per filtered plane.
void AddParameter(std::vector<std::string>& cards, const CFilterRunRecord& record, const std::string& keyword,
                  const std::string& what, const std::function<int64_t(const CPlaneRunRecord&)>& value)
{
    if (record.planes.empty())
        return;
    const int64_t first = value(record.planes.front());
    const bool same = std::all_of(record.planes.begin(), record.planes.end(),
                                  [&](const CPlaneRunRecord& plane) { return value(plane) == first; });
    if (same) {
        cards.push_back(CFitsCard::Integer(keyword, first, what + " of every filtered plane"));
        return;
    }
    for (const CPlaneRunRecord& plane : record.planes)
        cards.push_back(CFitsCard::Integer(keyword + std::to_string(plane.plane + 1), value(plane),
                                           what + " of the " + kPlaneNames[plane.plane % 3] + " plane"));
}

void Append(std::vector<std::string>& cards, const std::vector<std::string>& more)
{
    cards.insert(cards.end(), more.begin(), more.end());
}

bool MatchesImage(const CFilterRunRecord& record, const CPlaneRunRecord& plane)
{
    return plane.changes.ImageWidth() == record.imageWidth && plane.changes.ImageHeight() == record.imageHeight;
}

}  // namespace

std::vector<uint8_t> CFitsMaskWriter::Header(const CFilterRunRecord& record, const SFacts& facts)
{
    std::vector<std::string> cards;
    cards.push_back(CFitsCard::Logical("SIMPLE", true, "conforms to FITS standard"));
    cards.push_back(CFitsCard::Integer("BITPIX", 8, "1 where a pixel was replaced, 0 elsewhere"));
    cards.push_back(CFitsCard::Integer("NAXIS", record.isColor ? 3 : 2));
    cards.push_back(CFitsCard::Integer("NAXIS1", record.imageWidth, "image width"));
    cards.push_back(CFitsCard::Integer("NAXIS2", record.imageHeight, "image height"));
    if (record.isColor)
        cards.push_back(CFitsCard::Integer("NAXIS3", 3, "planes: red, green, blue"));
    Append(cards, CFitsCard::Commentary("COMMENT", "Pixels replaced by Remove Blooming and its parameters."));
    AddParameter(cards, record, "INTENS", "Intensity", [](const CPlaneRunRecord& p) { return p.intensity; });
    AddParameter(cards, record, "LENGTH", "Length", [](const CPlaneRunRecord& p) { return p.length; });
    AddParameter(cards, record, "WIDTH", "Width", [](const CPlaneRunRecord& p) { return p.width; });
    cards.push_back(CFitsCard::Logical("MIRROR", record.mirror, "planes mirrored around the run"));
    Append(cards, CFitsCard::String("REGION", record.RegionText(), "left,top,right,bottom; 0-based, R,B excl."));
    if (record.isColor) {
        std::string planes;
        for (const CPlaneRunRecord& plane : record.planes)
            planes += "RGB"[plane.plane % 3];
        Append(cards, CFitsCard::String("PLANES", planes, "planes filtered"));
    }
    cards.push_back(CFitsCard::Integer("NREPLACE", record.ReplacedCount(), "pixels replaced, all planes"));
    const std::vector<std::string> name = CFitsCard::String("FILENAME", facts.sourceName, "the filtered image");
    if (name.size() > 1)
        Append(cards, CFitsCard::String("LONGSTRN", "OGIP 1.0", "long strings continue on CONTINUE cards"));
    Append(cards, name);
    Append(cards, CFitsCard::String("PROGRAM", facts.program, "program that wrote this file"));
    Append(cards, CFitsCard::String("VERSION", facts.version, "its version"));
    Append(cards, CFitsCard::String("DATE", facts.date, "file written (UTC)"));
    cards.push_back(CFitsCard::End());

    std::vector<uint8_t> header;
    for (const std::string& card : cards)
        header.insert(header.end(), card.begin(), card.end());
    const std::size_t block = CFitsHeader::kBlockBytes;
    header.resize((header.size() + block - 1) / block * block, ' ');
    return header;
}

bool CFitsMaskWriter::Write(const std::string& path, const CFilterRunRecord& record, const SFacts& facts,
                            IMessageSink& messages, IFileOps& fileOps)
{
    auto fail = [&](ESaveStep step) {
        messages.ShowError(CSaveMessages::Text(step, false));
        return false;
    };
    CAtomicFileWriter writer(fileOps);
    if (!writer.Begin(path))
        return fail(ESaveStep::Create);
    const std::vector<uint8_t> header = Header(record, facts);
    if (!writer.Write(header.data(), header.size()))
        return fail(ESaveStep::Header);

    // Rows gathered into blocks of about a megabyte.
    const std::size_t width = static_cast<std::size_t>(record.imageWidth);
    const std::size_t rowsPerBlock = std::max<std::size_t>(1, (std::size_t(1) << 20) / std::max<std::size_t>(width, 1));
    std::vector<uint8_t> block;
    uint64_t written = 0;
    for (int plane = 0; plane < (record.isColor ? 3 : 1); ++plane) {
        const CPlaneRunRecord* run = record.Plane(plane);
        if (run && !MatchesImage(record, *run))
            run = nullptr;
        for (int32_t y = 0; y < record.imageHeight;) {
            const std::size_t rows = std::min<std::size_t>(rowsPerBlock, static_cast<std::size_t>(record.imageHeight - y));
            block.assign(rows * width, 0);
            for (std::size_t r = 0; run && r < rows; ++r)
                run->changes.CopyImageRow(y + static_cast<int32_t>(r), block.data() + r * width);
            if (!writer.Write(block.data(), block.size()))
                return fail(ESaveStep::ImageData);
            written += block.size();
            y += static_cast<int32_t>(rows);
        }
    }
    // The data ends on a whole block, padded with zeros.
    const std::size_t pad = static_cast<std::size_t>((CFitsHeader::kBlockBytes - written % CFitsHeader::kBlockBytes) %
                                                     CFitsHeader::kBlockBytes);
    block.assign(pad, 0);
    if (!writer.Write(block.data(), block.size()) || !writer.Commit())
        return fail(ESaveStep::Close);
    return true;
}
