#include "platform/TextRenderer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstring>
#include <strings.h>

namespace win32layer {
namespace {

FT_Face asFace(void* face) {
    return static_cast<FT_Face>(face);
}

// The faces the Windows names stand for: metric-compatible where one exists.
std::string substituteFamily(const std::string& requested) {
    std::string lower = requested;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (lower.empty() || lower == "arial" || lower == "ms sans serif" || lower == "ms shell dlg" ||
        lower == "system" || lower == "helvetica")
        return "Liberation Sans";
    if (lower == "small fonts")
        return "DejaVu Sans Condensed";
    if (lower == "symbol")
        return "DejaVu Sans";
    if (lower == "times new roman")
        return "Liberation Serif";
    if (lower == "courier new" || lower == "courier")
        return "Liberation Mono";
    return requested;
}

uint32_t blendChannel(uint32_t under, uint32_t over, uint32_t alpha) {
    return (under * (255 - alpha) + over * alpha + 127) / 255;
}

uint32_t blend(uint32_t under, uint32_t over, uint32_t alpha) {
    if (alpha == 255)
        return over;
    return (blendChannel((under >> 16) & 0xFF, (over >> 16) & 0xFF, alpha) << 16) |
           (blendChannel((under >> 8) & 0xFF, (over >> 8) & 0xFF, alpha) << 8) |
           blendChannel(under & 0xFF, over & 0xFF, alpha);
}

// The Greek letters that the Windows "Symbol" face shows for A..Z and a..z.
constexpr char32_t symbolCapitals[26] = {0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,
                                         0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D,
                                         0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5,
                                         0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396};
constexpr char32_t symbolSmall[26] = {0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,
                                      0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD,
                                      0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5,
                                      0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6};

char32_t codePointOf(unsigned char character, bool symbolLetters) {
    if (symbolLetters && character >= 'A' && character <= 'Z')
        return symbolCapitals[character - 'A'];
    if (symbolLetters && character >= 'a' && character <= 'z')
        return symbolSmall[character - 'a'];
    return character; // the ANSI text is taken as Latin-1
}

std::atomic<size_t> liveFaces{0};

} // namespace

FontFace::FontFace(void* library, const std::string& path, int index, LONG logicalHeight,
                   bool symbolLetters)
    : symbolLetters_(symbolLetters) {
    ++liveFaces;
    FT_Face face = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(library), path.c_str(), index, &face) != 0)
        return;
    face_ = face;
    // A negative height asks for the character (em) height, a positive one for the cell height,
    // which spans the Windows ascent and descent of the face.
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    double ascender = face->ascender, descender = -double(face->descender);
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascender = os2->usWinAscent;
        descender = os2->usWinDescent;
    }
    const double span = ascender + descender > 0 ? ascender + descender : face->units_per_EM;
    double emPixels;
    if (logicalHeight < 0) {
        // Windows rounds the scaled ascent and descent to the nearest pixel each: Arial at 11
        // pixels has ascent 10 and descent 2 (cell 12), so centred text sits one row lower than
        // rounding up would place it.
        emPixels = -double(logicalHeight);
        ascent_ = int(std::lround(ascender * emPixels / face->units_per_EM));
        descent_ = int(std::lround(descender * emPixels / face->units_per_EM));
    } else {
        const int cell = logicalHeight > 0 ? int(logicalHeight) : 16;
        emPixels = cell * face->units_per_EM / span;
        ascent_ = int(std::lround(cell * ascender / span));
        descent_ = cell - ascent_;
    }
    const auto size26Dot6 = static_cast<FT_F26Dot6>(std::clamp(emPixels, 1.0, 2048.0) * 64);
    FT_Set_Char_Size(face, 0, size26Dot6, 72, 72);
}

size_t FontFace::liveCount() {
    return liveFaces.load();
}

FontFace::~FontFace() {
    --liveFaces;
    if (face_)
        FT_Done_Face(asFace(face_));
}

const GlyphImage& FontFace::glyph(unsigned char character) {
    std::unique_ptr<GlyphImage>& slot = glyphs_[character];
    if (slot)
        return *slot;
    render(character, uncached_);
    const size_t bytes = uncached_.coverage.size();
    if (cachedBytes_ + bytes > glyphCacheBudget)
        return uncached_;
    cachedBytes_ += bytes;
    slot = std::make_unique<GlyphImage>(std::move(uncached_));
    uncached_ = GlyphImage{};
    return *slot;
}

void FontFace::render(unsigned char character, GlyphImage& out) {
    out = GlyphImage{};
    FT_Face face = asFace(face_);
    if (!face || FT_Load_Char(face, codePointOf(character, symbolLetters_),
                              FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0)
        return;
    const FT_GlyphSlot rendered = face->glyph;
    const FT_Bitmap& bitmap = rendered->bitmap;
    out.left = rendered->bitmap_left;
    out.top = rendered->bitmap_top;
    out.width = static_cast<int>(bitmap.width);
    out.height = static_cast<int>(bitmap.rows);
    out.advance = static_cast<int>((rendered->advance.x + 32) >> 6);
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
        out.coverage.resize(size_t(out.width) * size_t(out.height));
        for (int y = 0; y < out.height; ++y)
            std::memcpy(out.coverage.data() + size_t(y) * size_t(out.width),
                        bitmap.buffer + ptrdiff_t(y) * bitmap.pitch, size_t(out.width));
    } else {
        out.width = out.height = 0;
    }
}

int FontFace::measure(const char* text, size_t length) {
    int width = 0;
    for (size_t i = 0; i < length; ++i)
        width += glyph(static_cast<unsigned char>(text[i])).advance;
    return width;
}

FontResolver::FontResolver() {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) == 0)
        library_ = library;
}

FontResolver::~FontResolver() {
    recent_.clear();
    faces_.clear();
    if (library_)
        FT_Done_FreeType(static_cast<FT_Library>(library_));
}

std::pair<std::string, int> FontResolver::findFile(const std::string& family, bool bold,
                                                   bool italic) {
    const auto key = std::make_tuple(family, bold, italic);
    auto found = files_.find(key);
    if (found != files_.end())
        return found->second;
    std::pair<std::string, int> result{"", 0};
    // A configuration of its own for each search, released at once: the results are cached, and a
    // configuration kept for the life of the process would never be released.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return result;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult outcome = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &outcome);
    if (match) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            result = {reinterpret_cast<const char*>(file), index};
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    files_[key] = result;
    return result;
}

std::shared_ptr<FontFace> FontResolver::resolve(const LOGFONTA& font) {
    if (!library_)
        return nullptr;
    const std::string requested(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
    const std::string family = substituteFamily(requested);
    const bool bold = font.lfWeight >= 600;
    const bool italic = font.lfItalic != 0;
    const LONG height = std::clamp<LONG>(font.lfHeight, -2048, 2048);
    const bool symbolLetters = strncasecmp(requested.c_str(), "symbol", 7) == 0;
    const auto key = std::make_tuple(family, bold, italic, height, symbolLetters);
    if (auto found = faces_.find(key); found != faces_.end()) {
        if (std::shared_ptr<FontFace> face = found->second.lock()) {
            keepRecent(face);
            return face;
        }
        faces_.erase(found);
    }
    const auto [path, index] = findFile(family, bold, italic);
    if (path.empty())
        return nullptr;
    auto face = std::make_shared<FontFace>(library_, path, index, height, symbolLetters);
    if (!face->valid())
        return nullptr;
    std::erase_if(faces_, [](const auto& entry) { return entry.second.expired(); });
    faces_[key] = face;
    keepRecent(face);
    return face;
}

void FontResolver::keepRecent(const std::shared_ptr<FontFace>& face) {
    std::erase(recent_, face);
    recent_.push_back(face);
    if (recent_.size() > recentFacesKept)
        recent_.pop_front();
}

void renderTextLine(Surface& surface, const PixelRect& clip, FontFace& face, int64_t x, int64_t y,
                    const char* text, size_t length, const TextColors& colors) {
    const PixelRect area = clip.intersect(surface.bounds());
    if (area.empty())
        return;
    if (colors.opaque) {
        const PixelRect box =
            PixelRect{x, y, x + face.measure(text, length), y + face.lineHeight()}.intersect(area);
        if (!box.empty())
            for (int64_t row = box.top; row < box.bottom; ++row)
                std::fill(surface.row(row) + box.left, surface.row(row) + box.right,
                          colors.background);
    }
    const int64_t baseline = y + face.ascent();
    int64_t penX = x;
    for (size_t i = 0; i < length && penX < area.right; ++i) {
        const GlyphImage& glyph = face.glyph(static_cast<unsigned char>(text[i]));
        const int64_t left = penX + glyph.left, top = baseline - glyph.top;
        const PixelRect box =
            PixelRect{left, top, left + glyph.width, top + glyph.height}.intersect(area);
        for (int64_t row = box.top; row < box.bottom; ++row) {
            const uint8_t* coverage =
                glyph.coverage.data() + size_t(row - top) * size_t(glyph.width);
            uint32_t* out = surface.row(row);
            for (int64_t col = box.left; col < box.right; ++col) {
                const uint32_t alpha = coverage[col - left];
                if (alpha == 0)
                    continue;
                if (surface.monochrome)
                    out[col] = alpha >= 128 ? colors.text : out[col];
                else
                    out[col] = blend(out[col], colors.text, alpha);
            }
        }
        penX += glyph.advance;
    }
}

} // namespace win32layer
