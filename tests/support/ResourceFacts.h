// The resources the plug-in library carries: the editor's bitmaps, by id, with the file each is
// built from, and the version information.
#pragma once

namespace resourcefacts {

struct BitmapFact {
    int id;
    const char* fileName; // in resources/
    int width;
    int height;
    int bitsPerPixel;
};

inline constexpr BitmapFact bitmaps[] = {
    {128, "background.bmp", 250, 420, 24},
    {129, "track.bmp", 16, 250, 24},
    {130, "handle.bmp", 14, 12, 8},
    {131, "info.bmp", 200, 150, 24},
};

// File and product version 1.1.0.0 as the fixed version record holds them.
constexpr unsigned versionMostSignificant = 0x00010001;
constexpr unsigned versionLeastSignificant = 0x00000000;

struct VersionString {
    const char* name;
    const char* value;
};

inline constexpr VersionString versionStrings[] = {
    {"FileDescription", "Audio Plug-In"}, {"ProductName", "Brisolen"},
    {"CompanyName", ".tarnwick."},        {"FileVersion", "1.1.0.0"},
    {"ProductVersion", "1.1.0.0"},        {"OriginalFilename", "Brisolen.dll"},
};

} // namespace resourcefacts
