#pragma once
#include <string>

// A key that names one file however its path is spelt: the device and inode
// of an existing file, so that "./a.fit", an absolute path, a symbolic link,
// a hard link or the same folder seen through a bind mount all meet; the
// normalised absolute path of a file that does not exist yet.
class CFileKey {
public:
    static std::string Of(const std::string& path);
};
