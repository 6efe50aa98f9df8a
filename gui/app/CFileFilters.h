#pragma once
#include <QList>
#include <QString>

#include "IUserDialogs.h"

// The type lists of the Open and Save As dialogs.
namespace CFileFilters {

CFileFilter Fits();
CFileFilter Sbig();
CFileFilter AllFiles();
// Open: the favourite type first ("SBIG" in any letter case puts SBIG Type 3
// first, anything else FITS), then the other, then all files.
QList<CFileFilter> ForOpen(const QString& favoriteType);
// Save As: the image's own format only.
CFileFilter ForSave(bool bFits);
// The path the Save As dialog returned, with the format's extension added
// when the name would not open again as that format.
QString WithOwnExtension(const QString& path, bool bFits);

}  // namespace CFileFilters
