#include "image/CFitsHistory.h"

#include <cstring>

#include "filter/CFilterRunRecord.h"
#include "image/CFitsCard.h"
#include "image/CFitsHeader.h"

namespace {

bool IsEndCard(const uint8_t* card)
{
    return std::memcmp(card, "END     ", 8) == 0;
}

}  // namespace

bool CFitsHistory::Insert(std::vector<uint8_t>& header, const std::vector<std::string>& cards)
{
    constexpr std::size_t kCard = CFitsHeader::kCardBytes;
    constexpr std::size_t kBlock = CFitsHeader::kBlockBytes;
    if (header.empty() || header.size() % kBlock != 0)
        return false;
    std::size_t end = 0;
    while (end < header.size() && !IsEndCard(header.data() + end))
        end += kCard;
    if (end == header.size())
        return false;
    for (const std::string& card : cards)
        if (card.size() != kCard)
            return false;

    // Whatever followed END in its block was padding; it becomes blanks.
    std::vector<uint8_t> grown(header.begin(), header.begin() + static_cast<std::ptrdiff_t>(end));
    for (const std::string& card : cards)
        grown.insert(grown.end(), card.begin(), card.end());
    const std::string endCard = CFitsCard::End();
    grown.insert(grown.end(), endCard.begin(), endCard.end());
    const std::size_t blocks = (grown.size() + kBlock - 1) / kBlock;
    grown.resize(blocks * kBlock, ' ');
    header.swap(grown);
    return true;
}

std::vector<std::string> CFitsHistory::RunCards(const CFilterRunRecord& record, const std::string& program,
                                                const std::string& version, const std::string& date)
{
    std::vector<std::string> lines = {"Remove Blooming by " + program + " " + version + " on " + date + " UTC:"};
    const std::vector<std::string> description = record.DescriptionLines();
    lines.insert(lines.end(), description.begin(), description.end());
    std::vector<std::string> cards;
    for (const std::string& line : lines) {
        const std::vector<std::string> more = CFitsCard::Commentary("HISTORY", line);
        cards.insert(cards.end(), more.begin(), more.end());
    }
    return cards;
}
