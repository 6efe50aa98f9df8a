#include "CSaveMessages.h"

const char* CSaveMessages::Text(ESaveStep step, bool samePath)
{
    switch (step) {
    case ESaveStep::Create:
        return samePath ? "Failed to write file." : "Failed to create file.";
    case ESaveStep::Header:
        return samePath ? "Failed to write header." : "Failed to copy header.";
    case ESaveStep::ImageData:
        return "Failed to write image data.";
    case ESaveStep::WriteProtected:
        return "File is write-protected.";
    case ESaveStep::NotAFile:
        return "Not a regular file or a device.";
    case ESaveStep::Close:
        break;
    }
    return "Failed to close file.";
}
