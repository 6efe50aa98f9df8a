#pragma once

class CDorvaneApp;

// File > Open: lets the user pick one or more images, starting in the folder
// used last with the favourite type's filter first, and opens each in its
// own window. A file that fails costs one "Failed to open: <path>" box after
// the document's own messages; the others still open.
class CFileOpenCommand {
public:
    static void Run(CDorvaneApp& app);
};
