#pragma once
// A folder of its own for each fuzz input, in memory (tmpfs) where there is
// one: the readers and the atomic writer run on the real file system calls,
// and flushes there cost nothing.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class CScratchFolder {
public:
    CScratchFolder()
    {
        std::string name = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/dorvane-fuzz-XXXXXX" : "/tmp/dorvane-fuzz-XXXXXX";
        if (mkdtemp(name.data()) == nullptr)
            std::abort();
        m_path = name;
    }
    ~CScratchFolder() { std::filesystem::remove_all(m_path, m_error); }

    std::string File(const char* name) const { return m_path + "/" + name; }
    std::string Put(const char* name, const uint8_t* data, std::size_t size) const
    {
        std::ofstream(File(name), std::ios::binary).write(reinterpret_cast<const char*>(data), std::streamsize(size));
        return File(name);
    }
    std::vector<uint8_t> Read(const char* name) const
    {
        std::ifstream in(File(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Entries in the folder (a temporary file left behind shows here).
    std::size_t Count() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(m_path), {}));
    }

private:
    std::string m_path;
    std::error_code m_error;
};
