#include "gui/Geometry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Rect, FromCornersInEitherOrder) {
    EXPECT_EQ(Rect::fromCorners(10, 20, 5, 2), Rect(5, 2, 10, 20));
    EXPECT_EQ(Rect::fromCorners(5, 2, 10, 20), Rect(5, 2, 10, 20));
}

TEST(Rect, KeepsInvertedEdges) {
    const Rect r(10, 0, 5, 0);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right, 5);
    EXPECT_EQ(r.getWidth(), -5);
    EXPECT_EQ(r.getHeight(), 0);
}

TEST(Point, LiesInIncludesAllFourEdges) {
    const Rect r(105, 70, 121, 320);
    const struct {
        Point p;
        bool inside;
    } cases[] = {{{105, 70}, true},   {{121, 320}, true}, {{105, 320}, true},
                 {{121, 70}, true},   {{113, 200}, true}, {{104, 200}, false},
                 {{122, 200}, false}, {{113, 69}, false}, {{113, 321}, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.p.liesIn(r), c.inside) << c.p.h << "," << c.p.v;
    }
}

TEST(Color, AlphaIsNeitherComparedNorConverted) {
    EXPECT_FALSE((Color{1, 2, 3, 0} != Color{1, 2, 3, 200}));
    EXPECT_TRUE((Color{1, 2, 3, 0} != Color{1, 2, 4, 0}));
    EXPECT_TRUE((Color{0, 2, 3, 0} != Color{1, 2, 3, 0}));
    EXPECT_EQ(colorRed.toColorRef(), 0x0000FFu);
    EXPECT_EQ(colorBlue.toColorRef(), 0xFF0000u);
    EXPECT_EQ((Color{1, 2, 3, 99}.toColorRef()), 0x030201u);
}

TEST(FontTable, IdentifiersOutsideTheTableMeanTheFirstRow) {
    for (FontId id : {-1, 7, 1000}) {
        EXPECT_STREQ(fontDescription(id).face, "Arial");
        EXPECT_EQ(fontDescription(id).height, 12);
        EXPECT_EQ(fontDescription(id).weight, 700);
    }
    EXPECT_STREQ(fontDescription(fontTiny).face, "Small Fonts");
    EXPECT_TRUE(fontDescription(fontSymbol).decorative);
    EXPECT_EQ(fontDescription(fontSmall).height, 11);
}

} // namespace
