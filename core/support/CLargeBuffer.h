#pragma once
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

// Sizing of the big per-image vectors (planes, their undo copies, display
// pixels). A 60-megapixel plane is a quarter of a gigabyte; touched page by
// page for the first time it costs tens of thousands of page faults, which
// take longer than reading the file. Asking the kernel for 2 MB pages before
// the first touch cuts them by a factor of 512. The contents are exactly
// those of the plain vector operations named below.
//
// A batch that opens one image after another can also keep the planes of the
// last image as spares (KeepSpares, Release): the next image of the same size
// then writes into memory already in place instead of having the kernel
// clear fresh pages for every file.
class CLargeBuffer {
public:
    // Below this size the advice is not worth a system call.
    static constexpr std::size_t kLargeBytes = std::size_t(4) << 20;

    // v.assign(n, 0).
    template <class T>
    static void AssignZeroed(std::vector<T>& v, std::size_t n)
    {
        static_assert(std::is_trivial_v<T>);
        Prepare(v, n);
        v.assign(n, T{});
    }

    // dst = src.
    template <class T>
    static void Copy(std::vector<T>& dst, const std::vector<T>& src)
    {
        static_assert(std::is_trivial_v<T>);
        Prepare(dst, src.size());
        dst.assign(src.begin(), src.end());
    }

    // Keeps up to count large buffers of each kind (planes of values, masks
    // of bytes) handed to Release, for later AssignZeroed and Copy calls
    // that need no more room. 0 (the default) keeps none and frees those
    // kept. Thread-safe, like Release.
    static void KeepSpares(std::size_t count);
    // Leaves v empty; its storage becomes a spare when spares are kept and
    // it is large, and is freed otherwise.
    static void Release(std::vector<uint32_t>& v);
    static void Release(std::vector<uint8_t>& v);

private:
    // Gives v fresh, advised storage (or a spare) for n elements when it
    // needs new storage anyway; v is empty afterwards in that case.
    template <class T>
    static void Prepare(std::vector<T>& v, std::size_t n)
    {
        if (v.capacity() >= n || n * sizeof(T) < kLargeBytes)
            return;
        std::vector<T>().swap(v);  // free the old storage before taking more
        if constexpr (std::is_same_v<T, uint32_t> || std::is_same_v<T, uint8_t>) {
            if (TakeSpare(v, n))
                return;
        }
        v.reserve(n);
        AdviseHugePages(v.data(), n * sizeof(T));
    }

    // Moves the smallest spare of at least n elements into the empty v.
    static bool TakeSpare(std::vector<uint32_t>& v, std::size_t n);
    static bool TakeSpare(std::vector<uint8_t>& v, std::size_t n);

    // Asks for 2 MB pages and has both cores fault the range in, so that the
    // kernel's zeroing of fresh pages is split between them.
    static void AdviseHugePages(void* data, std::size_t bytes);
};
