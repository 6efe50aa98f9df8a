#include "CFilterSettings.h"

#include <string>

#include "support/ISettings.h"

namespace {

const char* const kSection = "Settings";
const char* const kPlaneNames[3] = {"Red", "Green", "Blue"};

uint32_t ReadUInt(const ISettings& settings, const std::string& name, uint32_t fallback)
{
    return static_cast<uint32_t>(settings.GetInt(kSection, name, static_cast<int>(fallback)));
}

void WriteUInt(ISettings& settings, const std::string& name, uint32_t value)
{
    settings.WriteInt(kSection, name, static_cast<int>(value));
}

}  // namespace

CMonoParams CFilterSettings::ReadMono(const ISettings& settings)
{
    CMonoParams params;
    params.m_plane.m_nIntensity = ReadUInt(settings, "Mono Intensity", 60000);
    params.m_plane.m_nLength = ReadUInt(settings, "Mono Length", 5);
    params.m_plane.m_nWidth = ReadUInt(settings, "Mono Width", 2);
    params.m_bMirror = settings.GetInt(kSection, "Mirror", 0) != 0;
    return params;
}

CColorParams CFilterSettings::ReadColor(const ISettings& settings)
{
    CColorParams params;
    for (int p = 0; p < 3; ++p)
        params.m_planes[p].m_nIntensity = ReadUInt(settings, std::string(kPlaneNames[p]) + " Intensity", 60000);
    for (int p = 0; p < 3; ++p)
        params.m_planes[p].m_nLength = ReadUInt(settings, std::string(kPlaneNames[p]) + " Length", 5);
    for (int p = 0; p < 3; ++p)
        params.m_planes[p].m_nWidth = ReadUInt(settings, std::string(kPlaneNames[p]) + " Width", 2);
    params.m_bMirror = settings.GetInt(kSection, "Mirror", 0) != 0;
    return params;
}

void CFilterSettings::WriteMono(ISettings& settings, const CMonoParams& params)
{
    WriteUInt(settings, "Mono Intensity", params.m_plane.m_nIntensity);
    WriteUInt(settings, "Mono Length", params.m_plane.m_nLength);
    WriteUInt(settings, "Mono Width", params.m_plane.m_nWidth);
    settings.WriteInt(kSection, "Mirror", params.m_bMirror ? 1 : 0);
}

void CFilterSettings::WriteColor(ISettings& settings, const CColorParams& params)
{
    for (int p = 0; p < 3; ++p) {
        const std::string plane = kPlaneNames[p];
        WriteUInt(settings, plane + " Intensity", params.m_planes[p].m_nIntensity);
        WriteUInt(settings, plane + " Length", params.m_planes[p].m_nLength);
        WriteUInt(settings, plane + " Width", params.m_planes[p].m_nWidth);
    }
    settings.WriteInt(kSection, "Mirror", params.m_bMirror ? 1 : 0);
}
