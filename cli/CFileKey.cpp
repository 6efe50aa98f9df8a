#include "CFileKey.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string CFileKey::Of(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return "inode " + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    std::error_code error;
    fs::path canonical = fs::weakly_canonical(fs::path(path), error);
    return error ? fs::absolute(fs::path(path), error).lexically_normal().string() : canonical.string();
}
