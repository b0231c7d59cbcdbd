// The library's resources read through the system's own resource and version calls.
#include "Check.h"
#include "PluginLibrary.h"
#include "TestSettings.h"

#include "support/ResourceFacts.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using testhost::PluginLibrary;

std::vector<char> fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST_CASE(BitmapResourcesAreTheBitmapFiles) {
    HMODULE module = PluginLibrary::instance().handle();
    REQUIRE(module != nullptr);
    for (const resourcefacts::BitmapFact& fact : resourcefacts::bitmaps) {
        const std::string context = "bitmap " + std::to_string(fact.id);
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(fact.id), MAKEINTRESOURCEA(2));
        if (!CHECK(found != nullptr, context)) {
            continue;
        }
        const DWORD size = SizeofResource(module, found);
        const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
        if (!CHECK(data != nullptr && size >= sizeof(BITMAPINFOHEADER), context)) {
            continue;
        }
        BITMAPINFOHEADER header;
        std::memcpy(&header, data, sizeof header);
        CHECK_EQ(header.biWidth, LONG{fact.width}, context);
        CHECK_EQ(header.biHeight, LONG{fact.height}, context);
        CHECK_EQ(int{header.biBitCount}, fact.bitsPerPixel, context);

        // The resource is the file without its 14-byte file header.
        const std::vector<char> file =
            fileBytes(testhost::settings().resourceDirectory + "\\" + fact.fileName);
        if (CHECK(file.size() > 14, "reading " + std::string(fact.fileName))) {
            CHECK_EQ(std::size_t{size}, file.size() - 14, context);
            CHECK(size == file.size() - 14 && std::memcmp(data, file.data() + 14, size) == 0,
                  context + " differs from " + fact.fileName);
        }

        // The library loads it with LoadBitmapA; the system must see the same size.
        HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(fact.id));
        BITMAP info{};
        if (CHECK(bitmap != nullptr && GetObjectA(bitmap, sizeof info, &info) != 0, context)) {
            CHECK_EQ(info.bmWidth, LONG{fact.width}, context);
            CHECK_EQ(info.bmHeight, LONG{fact.height}, context);
        }
        DeleteObject(bitmap);
    }
    CHECK(FindResourceA(module, MAKEINTRESOURCEA(132), MAKEINTRESOURCEA(2)) == nullptr,
          "an unexpected bitmap 132");
}

TEST_CASE(VersionResourceNamesVersionOneOneAndTheProduct) {
    const std::string& path = testhost::settings().libraryPath;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    REQUIRE(size > 0);
    std::vector<char> block(size);
    REQUIRE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    REQUIRE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    REQUIRE(fixed != nullptr && fixedSize >= sizeof(VS_FIXEDFILEINFO));
    CHECK_EQ(fixed->dwSignature, DWORD{0xFEEF04BD});
    CHECK_EQ(fixed->dwFileVersionMS, DWORD{resourcefacts::versionMostSignificant});
    CHECK_EQ(fixed->dwFileVersionLS, DWORD{resourcefacts::versionLeastSignificant});
    CHECK_EQ(fixed->dwProductVersionMS, DWORD{resourcefacts::versionMostSignificant});
    CHECK_EQ(fixed->dwProductVersionLS, DWORD{resourcefacts::versionLeastSignificant});
    CHECK_EQ(fixed->dwFileType, DWORD{VFT_DLL});

    // The strings stand in the block of the first translation the resource lists.
    WORD* translation = nullptr;
    UINT translationSize = 0;
    REQUIRE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                           reinterpret_cast<void**>(&translation), &translationSize));
    REQUIRE(translation != nullptr && translationSize >= 4);
    char language[16];
    std::snprintf(language, sizeof language, "%04x%04x", translation[0], translation[1]);
    CHECK_TEXT(language, "040904e4");
    for (const resourcefacts::VersionString& entry : resourcefacts::versionStrings) {
        const std::string query = std::string("\\StringFileInfo\\") + language + "\\" + entry.name;
        char* value = nullptr;
        UINT length = 0;
        const bool found = VerQueryValueA(block.data(), query.c_str(),
                                          reinterpret_cast<void**>(&value), &length) != 0;
        CHECK(found, entry.name);
        CHECK_TEXT(found ? value : "", entry.value, entry.name);
    }
}

} // namespace
