// Outline fonts through FreeType, faces found through fontconfig, glyphs cached per face and size.
#pragma once

#include "platform/Surface.h"
#include "platform/Win32Api.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace win32layer {

struct GlyphImage {
    int left = 0; // from the pen position to the first column
    int top = 0;  // from the baseline up to the first row
    int width = 0;
    int height = 0;
    int advance = 0; // pixels
    std::vector<uint8_t> coverage;
};

// One face at one pixel size.
class FontFace {
public:
    // symbolLetters: the text is in the encoding of the Windows "Symbol" face, whose letters are
    // Greek.
    FontFace(void* library, const std::string& path, int index, LONG logicalHeight,
             bool symbolLetters = false);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    bool valid() const { return face_ != nullptr; }
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int lineHeight() const { return ascent_ + descent_; }

    // The glyph stays valid until the next call: glyphs beyond the cache's budget are rendered
    // into one slot that each such call reuses.
    const GlyphImage& glyph(unsigned char character);
    int measure(const char* text, size_t length);

    size_t cachedBytes() const { return cachedBytes_; }
    // Faces alive in the process, for tests that check the caches stay bounded.
    static size_t liveCount();

    // Rendered glyphs a face keeps, in bytes of coverage; at editor sizes every glyph fits.
    static constexpr size_t glyphCacheBudget = size_t(4) << 20;

private:
    void render(unsigned char character, GlyphImage& out);

    void* face_ = nullptr;
    int ascent_ = 0;
    int descent_ = 0;
    bool symbolLetters_ = false;
    std::array<std::unique_ptr<GlyphImage>, 256> glyphs_;
    GlyphImage uncached_;
    size_t cachedBytes_ = 0;
};

struct TextColors {
    uint32_t text = 0;
    bool opaque = false;
    uint32_t background = 0xFFFFFF;
};

// Finds and opens faces; a face is shared by every font of the same face, size and weight. A face
// lives while a font uses it, and the most recently resolved faces are kept a while longer, so
// that fonts made and deleted for each drawing do not open their face again each time.
class FontResolver {
public:
    FontResolver();
    ~FontResolver();
    FontResolver(const FontResolver&) = delete;
    FontResolver& operator=(const FontResolver&) = delete;

    std::shared_ptr<FontFace> resolve(const LOGFONTA& font);

private:
    static constexpr size_t recentFacesKept = 8;

    void keepRecent(const std::shared_ptr<FontFace>& face);

    void* library_ = nullptr;
    std::map<std::tuple<std::string, bool, bool, LONG, bool>, std::weak_ptr<FontFace>> faces_;
    std::deque<std::shared_ptr<FontFace>> recent_; // most recent last
    std::map<std::tuple<std::string, bool, bool>, std::pair<std::string, int>> files_;

    std::pair<std::string, int> findFile(const std::string& family, bool bold, bool italic);
};

// Draws one line of text with its top-left corner at (x, y), clipped to clip.
void renderTextLine(Surface& surface, const PixelRect& clip, FontFace& face, int64_t x, int64_t y,
                    const char* text, size_t length, const TextColors& colors);

} // namespace win32layer
