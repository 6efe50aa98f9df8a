#pragma once
#include <string>

enum class EFileType { None, Fits, Sbig };

// Chooses the image format from a path: the text after the last "." of the
// whole path, compared case-insensitively with each keyword over the
// keyword's length, in table order ("fit", "fits", "fts" for FITS; "st",
// "237", "255" for SBIG Type 3). So "m42.fitx" is FITS and "m42.stx" SBIG.
class CFileTypeTable {
public:
    static EFileType Lookup(const std::string& path);
};
