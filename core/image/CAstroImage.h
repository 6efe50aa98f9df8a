#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct CSharedState;
class CAtomicFileWriter;
class ICommitQueue;
class IMessageSink;

// One opened image: one plane of raw values (monochrome) or three (colour),
// its display stretch and display pixels, and one level of undo and redo.
// CFitsImage and CSbigImage add a file format.
//
// Planes are row-major: column x of row y is at index y*m_width + x; row 0 is
// the first row stored in the file and is drawn at the top. The fields are
// public because the view, the stretch dialog and the filter read and set them
// directly.
class CAstroImage {
public:
    CAstroImage(CSharedState& shared, IMessageSink& messages);
    virtual ~CAstroImage();
    CAstroImage(const CAstroImage&) = delete;
    CAstroImage& operator=(const CAstroImage&) = delete;

    // Reads the file at path. True when the image was read; on failure the
    // message has been reported.
    virtual bool Open(const std::string& path) = 0;
    // Writes the image, in its own format, to path. 1 when written, 0 on
    // failure (reported). The target is replaced atomically: a failed save
    // leaves whatever was at path untouched.
    virtual int Save(const std::string& path) = 0;
    // With a queue, Save writes the whole temporary file and hands it to
    // queue for the flush and the rename instead of waiting for them: its 1
    // then means "written, not yet in place", and the queue has the last
    // word. For an image that is saved once and let go (a batch); a FITS
    // trailer copied from the source file then stays tied to that file.
    // null, the default: Save is complete when it returns.
    void DeferCommitsTo(ICommitQueue* queue) { m_commitQueue = queue; }

    void UpdateDisplay();
    void AutoStretch(int32_t& low, int32_t& high) const;
    // The display pixels of the image as it was before the last filter run
    // (the undo planes), made as UpdateDisplay makes m_displayPixels: same
    // display table, same depth. False, with out untouched, while there is
    // nothing to undo.
    bool MapUndoPlanes(std::vector<uint8_t>& out) const;

    // The header as the file holds it, one line of text a line (a FITS card,
    // an SBIG header line), without line ends; empty where the image has no
    // file header.
    virtual std::vector<std::string> HeaderLines() const { return {}; }

    // One level of undo. An out-of-order call (Undo before SaveUndo, Redo
    // before Undo) does nothing. Undo and Redo throw std::bad_alloc when their
    // copy cannot be made, and then leave the planes and the state as they
    // were; after a SaveUndo that throws there is nothing to undo.
    void SaveUndo();
    void Undo();
    void Redo();
    bool CanUndo() const { return m_undoState == EUndoState::CanUndo; }

    // Header-line helpers shared by both readers. lineLength bounds every
    // read of line (80 for FITS cards, 64 for SBIG lines).
    static bool KeywordMatches(const char* keyword, const char* line, std::size_t lineLength);
    static int32_t KeywordValue(const char* line, std::size_t lineLength);
    // False when the line's value lies outside the signed 32-bit range, so
    // that KeywordValue had to clamp it, or spells NaN or infinity.
    static bool KeywordValueInRange(const char* line, std::size_t lineLength);

    std::vector<uint8_t> m_displayPixels;
    std::vector<uint32_t> m_red;
    std::vector<uint32_t> m_green;
    std::vector<uint32_t> m_blue;
    std::vector<uint32_t> m_undoRed;
    std::vector<uint32_t> m_undoGreen;
    std::vector<uint32_t> m_undoBlue;
    std::vector<uint32_t> m_redoRed;
    std::vector<uint32_t> m_redoGreen;
    std::vector<uint32_t> m_redoBlue;
    std::vector<uint32_t> m_displayLut;
    std::string m_pathName;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_bitsPerPixel = 0;
    int32_t m_stretchLow = 0;
    int32_t m_stretchHigh = 0;
    bool m_displayChanged = true;
    bool m_isColor = false;
    uint32_t m_maxValue = 0;

protected:
    // The open sequence's common tail, after the format has read the planes:
    // sizes the display buffer and the display table, sets the automatic
    // stretch and builds the display pixels.
    void FinishOpen();
    // The save's last step: the flush and the rename, or the hand-over to
    // the commit queue (deferred is then true). False when the file could
    // not be put in place.
    bool CommitSave(std::unique_ptr<CAtomicFileWriter> writer, bool& deferred);

    CSharedState& m_shared;
    IMessageSink& m_messages;

private:
    // Which of Undo and Redo has its planes ready; the other is a no-op.
    enum class EUndoState { Empty, CanUndo, CanRedo };
    EUndoState m_undoState = EUndoState::Empty;
    ICommitQueue* m_commitQueue = nullptr;
    std::size_t PixelCount() const;
};
