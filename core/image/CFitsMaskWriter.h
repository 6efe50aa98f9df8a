#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "support/CPosixFileOps.h"

class IMessageSink;
struct CFilterRunRecord;

// Writes the pixels a Remove Blooming run replaced as a FITS image: BITPIX 8
// of the image's size, 1 where the run changed a pixel and 0 elsewhere; a
// colour image gives a cube of three planes (red, green, blue; a plane not
// filtered is all 0). The header names the run:
//
//   INTENS, LENGTH, WIDTH   the parameters, when every filtered plane had
//                           the same value; where the planes differ, one
//                           keyword per filtered plane instead, numbered by
//                           its plane in the cube (INTENS1 red, INTENS2
//                           green, INTENS3 blue; likewise LENGTHn, WIDTHn)
//   MIRROR                  T when the planes were mirrored around the run
//   REGION                  'left,top,right,bottom': the working rectangle
//                           in image pixels, 0-based, right and bottom
//                           exclusive (the whole image without a region)
//   PLANES                  colour only: the filtered planes, 'RGB', 'RG'...
//   NREPLACE                pixels replaced, all planes together
//   FILENAME                the filtered image's file name (a long one
//                           continued on CONTINUE cards, with LONGSTRN)
//   PROGRAM, VERSION, DATE  what wrote the mask, and when (UTC)
//
// The file replaces the target atomically (CAtomicFileWriter).
class CFitsMaskWriter {
public:
    struct SFacts {
        std::string sourceName;  // the filtered image's file name
        std::string program;
        std::string version;
        std::string date;        // "YYYY-MM-DDThh:mm:ss", UTC
    };

    // Every header block.
    static std::vector<uint8_t> Header(const CFilterRunRecord& record, const SFacts& facts);
    // False with the failure reported to messages in the words of an image
    // save ("Failed to create file.", "Failed to write header.", "Failed to
    // write image data.", "Failed to close file.").
    static bool Write(const std::string& path, const CFilterRunRecord& record, const SFacts& facts,
                      IMessageSink& messages, IFileOps& fileOps = CPosixFileOps::Instance());
};
