#pragma once

#include <QStringList>

class CDorvaneApp;

// File > Open: lets the user pick one or more images, starting in the folder
// used last with the favourite type's filter first, and opens each in its
// own window. A file that fails costs one "Failed to open: <path>" box after
// the document's own messages; the others still open.
class CFileOpenCommand {
public:
    static void Run(CDorvaneApp& app);
    // Opens each file as Run does once the dialog is confirmed (files
    // dropped on the main window come this way too).
    static void OpenFiles(CDorvaneApp& app, const QStringList& files);
};
