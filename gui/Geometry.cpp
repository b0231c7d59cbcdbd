#include "gui/Geometry.h"

namespace {

constexpr FontDescription fontTable[] = {
    {"Arial", 12, 700, false}, {"Arial", 18, 400, false}, {"Arial", 14, 400, false},
    {"Arial", 12, 400, false}, {"Arial", 11, 400, false}, {"Small Fonts", 9, 400, false},
    {"Symbol", 13, 400, true},
};

constexpr FontId fontCount = sizeof fontTable / sizeof fontTable[0];

} // namespace

const FontDescription& fontDescription(FontId id) {
    return fontTable[id >= 0 && id < fontCount ? id : fontBold];
}
