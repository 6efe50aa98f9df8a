#pragma once
#include <string>

// The step of a save that failed. Each maps to the one text the user sees;
// the first two depend on whether the image is saved back to the file it was
// read from.
enum class ESaveStep {
    Create,     // the temporary file could not be made
    Header,     // writing the header bytes failed
    ImageData,  // writing a plane failed
    Close,      // flushing, closing or renaming over the target failed
    // The target refused before anything was written:
    WriteProtected,  // an existing file the user may not write
    NotAFile,        // neither a regular file nor a device (a pipe, a folder)
};

class CSaveMessages {
public:
    // True when target names the file the image was read from: a byte-for-byte,
    // case-sensitive comparison of the two paths as given.
    static bool IsSamePath(const std::string& target, const std::string& sourcePath)
    {
        return target == sourcePath;
    }

    // "Failed to write file." / "Failed to create file.",
    // "Failed to write header." / "Failed to copy header.",
    // "Failed to write image data.", "Failed to close file.", and the two
    // refusals of the target.
    static const char* Text(ESaveStep step, bool samePath);
};
