#include "CAstroImage.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <cstdint>
#include <locale.h>

#include "CDisplayConverter.h"
#include "CDisplayLut.h"
#include "CHistogram.h"
#include "support/CAtomicFileWriter.h"
#include "support/CLargeBuffer.h"
#include "support/CSharedState.h"
#include "support/ICommitQueue.h"

CAstroImage::CAstroImage(CSharedState& shared, IMessageSink& messages)
    : m_shared(shared), m_messages(messages)
{
}

CAstroImage::~CAstroImage() = default;

std::size_t CAstroImage::PixelCount() const
{
    if (m_width <= 0 || m_height <= 0)
        return 0;
    return static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height);
}

void CAstroImage::FinishOpen()
{
    m_displayLut.resize(static_cast<std::size_t>(m_maxValue) + 1);
    if (!m_shared.m_bShowsImages)
        return;
    const int32_t bpp = m_shared.m_nDisplayBpp;
    if (CDisplayConverter::IsSupportedDepth(bpp))
        CLargeBuffer::AssignZeroed(m_displayPixels, PixelCount() * static_cast<std::size_t>(bpp / 8));
    AutoStretch(m_stretchLow, m_stretchHigh);
    UpdateDisplay();
}

bool CAstroImage::CommitSave(std::unique_ptr<CAtomicFileWriter> writer, bool& deferred)
{
    deferred = m_commitQueue != nullptr;
    if (!deferred)
        return writer->Commit();
    m_commitQueue->Defer(std::move(writer));
    return true;
}

// ---- Display mapping -------------------------------------------------------

void CAstroImage::UpdateDisplay()
{
    CDisplayLut::Build(m_stretchLow, m_stretchHigh, m_maxValue, m_displayLut);
    const int32_t bpp = m_shared.m_nDisplayBpp;
    const std::size_t count = PixelCount();
    const bool planesReady = m_red.size() >= count &&
                             (!m_isColor || (m_green.size() >= count && m_blue.size() >= count));
    if (CDisplayConverter::IsSupportedDepth(bpp) && planesReady && count > 0) {
        // The buffer was sized when the image was opened; should the depth
        // have changed since, resize rather than write past its end.
        const std::size_t bytes = count * static_cast<std::size_t>(bpp / 8);
        if (m_displayPixels.size() != bytes)
            CLargeBuffer::AssignZeroed(m_displayPixels, bytes);
        CDisplayConverter::Convert(m_displayLut, m_maxValue, m_red.data(),
                                   m_isColor ? m_green.data() : nullptr,
                                   m_isColor ? m_blue.data() : nullptr, count, bpp,
                                   m_displayPixels.data());
    }
    m_displayChanged = true;
}

bool CAstroImage::MapUndoPlanes(std::vector<uint8_t>& out) const
{
    const int32_t bpp = m_shared.m_nDisplayBpp;
    const std::size_t count = PixelCount();
    if (!CanUndo() || m_undoRed.size() != count ||
        (m_isColor && (m_undoGreen.size() != count || m_undoBlue.size() != count)))
        return false;
    if (CDisplayConverter::IsSupportedDepth(bpp) && count > 0) {
        const std::size_t bytes = count * static_cast<std::size_t>(bpp / 8);
        // Reused as it is when it has the size: a comparison that blinks
        // between the two pictures allocates only once.
        if (out.size() != bytes)
            CLargeBuffer::AssignZeroed(out, bytes);
        CDisplayConverter::Convert(m_displayLut, m_maxValue, m_undoRed.data(),
                                   m_isColor ? m_undoGreen.data() : nullptr,
                                   m_isColor ? m_undoBlue.data() : nullptr, count, bpp, out.data());
    }
    return true;
}

void CAstroImage::AutoStretch(int32_t& low, int32_t& high) const
{
    low = 0;
    high = 65535;
    const std::size_t count = std::min(PixelCount(), m_red.size());
    if (count == 0)
        return;
    const std::vector<uint32_t> counts = CHistogram::Count(m_red.data(), count, m_maxValue);
    const double total = static_cast<double>(count);
    double cumulative = 0.0;
    uint32_t peak = 0;
    bool highFound = false;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        cumulative += counts[i];
        const double fraction = cumulative / total;
        if (counts[i] > peak && fraction < 0.15) {
            peak = counts[i];
            low = static_cast<int32_t>(i);
        }
        if (fraction > 0.9822 && !highFound) {
            high = static_cast<int32_t>(i);
            highFound = true;
        }
    }
}

// ---- Undo and redo ---------------------------------------------------------

void CAstroImage::SaveUndo()
{
    const std::size_t count = PixelCount();
    if (m_red.size() != count || (m_isColor && (m_green.size() != count || m_blue.size() != count)))
        return;
    try {
        CLargeBuffer::Copy(m_undoRed, m_red);
        if (m_isColor) {
            CLargeBuffer::Copy(m_undoGreen, m_green);
            CLargeBuffer::Copy(m_undoBlue, m_blue);
        }
    } catch (...) {
        // Half-copied undo planes are no use to Undo; Redo overwrites them
        // before it reads them, so a pending Redo stays.
        if (m_undoState == EUndoState::CanUndo)
            m_undoState = EUndoState::Empty;
        throw;
    }
    m_undoState = EUndoState::CanUndo;
}

// Undo and Redo copy the planes to restore into the spare planes first (the
// redo planes before an Undo, the undo planes before a Redo: both are stale at
// that point and replaced anyway), and only then swap. A copy that cannot get
// its memory throws before anything the image shows or needs has changed.

void CAstroImage::Undo()
{
    if (m_undoState != EUndoState::CanUndo)
        return;
    // redo := current, current := undo
    CLargeBuffer::Copy(m_redoRed, m_undoRed);
    if (m_isColor) {
        CLargeBuffer::Copy(m_redoGreen, m_undoGreen);
        CLargeBuffer::Copy(m_redoBlue, m_undoBlue);
    }
    m_redoRed.swap(m_red);
    if (m_isColor) {
        m_redoGreen.swap(m_green);
        m_redoBlue.swap(m_blue);
    }
    m_undoState = EUndoState::CanRedo;
}

void CAstroImage::Redo()
{
    if (m_undoState != EUndoState::CanRedo)
        return;
    // undo := current, current := redo
    CLargeBuffer::Copy(m_undoRed, m_redoRed);
    if (m_isColor) {
        CLargeBuffer::Copy(m_undoGreen, m_redoGreen);
        CLargeBuffer::Copy(m_undoBlue, m_redoBlue);
    }
    m_undoRed.swap(m_red);
    if (m_isColor) {
        m_undoGreen.swap(m_green);
        m_undoBlue.swap(m_blue);
    }
    m_undoState = EUndoState::CanUndo;
}

// ---- Header-line helpers ---------------------------------------------------

bool CAstroImage::KeywordMatches(const char* keyword, const char* line, std::size_t lineLength)
{
    const std::size_t n = std::strlen(keyword);
    if (n > lineLength)
        return false;
    return std::memcmp(keyword, line, n) == 0;
}

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The length of the number at s[0..n) as atof reads it: optional sign, digits
// with an optional decimal point, an optional exponent. 0 when there is none.
std::size_t NumberLength(const char* s, std::size_t n)
{
    std::size_t i = 0;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < n && IsDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && IsDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < n && IsDigit(s[j])) {
            while (j < n && IsDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// Numbers in headers always use a decimal point, whatever the user's locale.
double ParseCNumber(const char* text)
{
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (cLocale == static_cast<locale_t>(nullptr))
        return std::strtod(text, nullptr);
    return strtod_l(text, nullptr, cLocale);
}

}  // namespace

namespace {

// Where the value of a header line starts: past the first "=" and the blanks
// and other white space atof skips. lineLength when there is no "=".
std::size_t ValueStart(const char* line, std::size_t lineLength)
{
    const void* eq = std::memchr(line, '=', lineLength);
    if (eq == nullptr)
        return lineLength;
    std::size_t i = static_cast<std::size_t>(static_cast<const char*>(eq) - line) + 1;
    while (i < lineLength && line[i] == ' ')
        ++i;
    // atof also passes over any other white space before the number.
    while (i < lineLength && IsCSpace(line[i]))
        ++i;
    return i;
}

// The value as atof reads it, truncated toward zero; false when the line
// holds no number at all.
bool TruncatedValue(const char* line, std::size_t lineLength, double& value)
{
    const std::size_t i = ValueStart(line, lineLength);
    const std::size_t length = NumberLength(line + i, lineLength - i);
    char text[128];
    if (length == 0 || length >= sizeof text)
        return false;
    std::memcpy(text, line + i, length);
    text[length] = '\0';
    value = std::trunc(ParseCNumber(text));
    return true;
}

// "nan", "inf" or "infinity" in any case, after an optional sign.
bool SpellsNonNumber(const char* s, std::size_t n)
{
    std::size_t i = (n > 0 && (s[0] == '+' || s[0] == '-')) ? 1 : 0;
    auto startsWith = [&](const char* word) {
        const std::size_t w = std::strlen(word);
        if (n - i < w)
            return false;
        for (std::size_t k = 0; k < w; ++k)
            if ((s[i + k] | 0x20) != word[k])
                return false;
        return true;
    };
    return startsWith("nan") || startsWith("inf");
}

}  // namespace

int32_t CAstroImage::KeywordValue(const char* line, std::size_t lineLength)
{
    double value = 0.0;
    if (!TruncatedValue(line, lineLength, value) || std::isnan(value))
        return 0;
    // Out of range saturates; any such size or scale is refused later.
    if (value >= 2147483647.0)
        return INT32_MAX;
    if (value <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool CAstroImage::KeywordValueInRange(const char* line, std::size_t lineLength)
{
    const std::size_t i = ValueStart(line, lineLength);
    if (SpellsNonNumber(line + i, lineLength - i))
        return false;
    double value = 0.0;
    if (!TruncatedValue(line, lineLength, value))
        return true;  // no number: KeywordValue's 0
    return value >= -2147483648.0 && value <= 2147483647.0;
}
