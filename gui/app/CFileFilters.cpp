#include "CFileFilters.h"

#include <QFileInfo>

#include "image/CFileTypeTable.h"

namespace CFileFilters {

CFileFilter Fits()
{
    return {QStringLiteral("FITS Images (*.fit;*.fts;*.fits)"),
            {QStringLiteral("*.fit"), QStringLiteral("*.fits"), QStringLiteral("*.fts")}};
}

CFileFilter Sbig()
{
    return {QStringLiteral("SBIG Type 3 Images (*.st*;*.237;*.255)"),
            {QStringLiteral("*.st*"), QStringLiteral("*.237"), QStringLiteral("*.255")}};
}

CFileFilter AllFiles()
{
    // "*.*" would hide files without a dot here; "*" lists every file.
    return {QStringLiteral("All Files (*.*)"), {QStringLiteral("*")}};
}

QList<CFileFilter> ForOpen(const QString& favoriteType)
{
    if (favoriteType.compare(QLatin1String("SBIG"), Qt::CaseInsensitive) == 0)
        return {Sbig(), Fits(), AllFiles()};
    return {Fits(), Sbig(), AllFiles()};
}

CFileFilter ForSave(bool bFits)
{
    return bFits ? Fits() : Sbig();
}

QString WithOwnExtension(const QString& path, bool bFits)
{
    const EFileType wanted = bFits ? EFileType::Fits : EFileType::Sbig;
    if (CFileTypeTable::Lookup(QFileInfo(path).fileName().toStdString()) == wanted)
        return path;
    return path + (bFits ? QLatin1String(".fit") : QLatin1String(".st7"));
}

}  // namespace CFileFilters
