#pragma once
#include <cstdint>

// One set of filter parameters, for a monochrome image or for one plane.
struct CPlaneParams {
    uint32_t m_nIntensity = 60000;
    uint32_t m_nLength = 5;
    uint32_t m_nWidth = 2;
};

// What the monochrome dialog confirms.
struct CMonoParams {
    CPlaneParams m_plane;
    bool m_bMirror = false;
    bool m_bProcessAll = false;
};

// What the colour dialog confirms; planes are red, green, blue.
struct CColorParams {
    CPlaneParams m_planes[3];
    bool m_bPlaneOn[3] = {true, true, true};
    bool m_bMirror = false;
};

// Bounds the dialogs enforce; the command line uses the same ones.
inline constexpr uint32_t kMaxIntensity = 1000000;
inline constexpr uint32_t kMaxLength = 10000;
inline constexpr uint32_t kMaxWidth = 1000;
