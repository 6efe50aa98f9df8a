#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct CFilterRunRecord;

// Adds cards to a FITS header held as its whole 2880-byte blocks: they go
// just before the END card, which moves down; the header grows by a block
// only when the cards do not fit in the room left after END in its block.
// Every other card keeps its bytes and its place.
class CFitsHistory {
public:
    // cards: 80 characters each. False, with header unchanged, when header
    // holds no END card (a keyword of exactly "END") or is not whole cards.
    static bool Insert(std::vector<uint8_t>& header, const std::vector<std::string>& cards);

    // The HISTORY cards that describe a Remove Blooming run: program,
    // version and date (UTC, "YYYY-MM-DDThh:mm:ss"), then the parameters of
    // every filtered plane, mirror and region.
    static std::vector<std::string> RunCards(const CFilterRunRecord& record, const std::string& program,
                                             const std::string& version, const std::string& date);
};
