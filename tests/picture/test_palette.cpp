#include <gtest/gtest.h>

#include <map>
#include <string>

#include "picture/palette.h"

namespace {

int lowered(const Palette& p) {
    int n = 0;
    for (const Swatch& s : p.swatches())
        n += s.outerLowered;
    return n;
}

}  // namespace

TEST(Palette, StartsWithBlackSelectedAndTheDesignedColours) {
    const Palette p;
    const std::map<std::string, TColor> colours{
        {"Panel2", 0x000000},  {"Panel4", 0x000080},  {"Panel6", 0x800000},  {"Panel13", 0x008080},
        {"Panel12", 0x008000}, {"Panel11", 0x808000}, {"Panel19", 0x800080}, {"Panel18", 0x808080},
        {"Panel15", 0xC0C0C0}, {"Panel3", 0xFFFFFF},  {"Panel5", 0x0000FF},  {"Panel7", 0xFF0000},
        {"Panel8", 0x00FFFF},  {"Panel9", 0x00FF00},  {"Panel10", 0xFFFF00}, {"Panel14", 0xFF00FF},
        {"Panel16", 0xC0C0C0}, {"Panel17", 0xC0C0C0}};
    ASSERT_EQ(p.swatches().size(), colours.size());
    for (const auto& [name, colour] : colours) {
        const int i = p.indexOf(name.c_str());
        ASSERT_GE(i, 0) << name;
        EXPECT_EQ(p.swatch(i).colour, colour) << name;
        EXPECT_EQ(p.swatch(i).outerLowered, name == "Panel2") << name;
        EXPECT_FALSE(p.swatch(i).innerLowered) << name;
    }
    EXPECT_EQ(p.swatch(Palette::kEraser).caption, QStringLiteral("消"));
    EXPECT_EQ(p.swatch(Palette::kFreeColour).caption, QStringLiteral("他"));
    EXPECT_EQ(p.dialogColour(), 0u);
}

TEST(Palette, ReleaseVisitsPanel2ToPanel19InOrder) {
    Palette p;
    std::vector<std::string> visited;
    p.releaseAll([&](int i) {
        EXPECT_FALSE(p.swatch(i).outerLowered);  // released by the time it is visited
        visited.emplace_back(p.swatch(i).name);
    });
    std::vector<std::string> expected;
    for (int n = 2; n <= 19; ++n)
        expected.push_back("Panel" + std::to_string(n));
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(lowered(p), 0);
}

TEST(Palette, SelectingASwatchLowersOnlyThatOne) {
    Palette p;
    const int red = p.indexOf("Panel5");
    EXPECT_EQ(p.selectColour(red), 0x0000FFu);
    EXPECT_TRUE(p.swatch(red).outerLowered);
    EXPECT_EQ(lowered(p), 1);

    EXPECT_EQ(p.selectEraser(), TransparentKey);
    const Swatch& eraser = p.swatch(Palette::kEraser);
    EXPECT_TRUE(eraser.outerLowered);
    EXPECT_FALSE(eraser.innerLowered);
    EXPECT_EQ(eraser.colour, 0xC0C0C0u);  // the swatch itself stays silver
    EXPECT_EQ(lowered(p), 1);

    EXPECT_EQ(p.selectFreeColour(0x123456), 0x123456u);
    const Swatch& other = p.swatch(Palette::kFreeColour);
    EXPECT_TRUE(other.outerLowered);
    EXPECT_FALSE(other.innerLowered);
    EXPECT_EQ(other.colour, 0x123456u);
    EXPECT_EQ(p.dialogColour(), 0x123456u);  // the next dialog opens on it
    EXPECT_EQ(lowered(p), 1);
}

TEST(Palette, EyedropperLowersBothBevelsAndTheInnerOneStays) {
    Palette p;
    EXPECT_EQ(p.pick(0x00ff80), 0x00ff80u);
    const Swatch& other = p.swatch(Palette::kFreeColour);
    const Swatch& eraser = p.swatch(Palette::kEraser);
    EXPECT_TRUE(other.outerLowered && other.innerLowered);
    EXPECT_EQ(other.colour, 0x00ff80u);
    EXPECT_EQ(p.dialogColour(), 0x00ff80u);
    EXPECT_EQ(lowered(p), 1);

    EXPECT_EQ(p.pick(TransparentKey), TransparentKey);
    EXPECT_TRUE(eraser.outerLowered && eraser.innerLowered);
    EXPECT_FALSE(other.outerLowered);
    EXPECT_TRUE(other.innerLowered);
    EXPECT_EQ(other.colour, 0x00ff80u);  // a key pick leaves "他" and the dialog alone
    EXPECT_EQ(p.dialogColour(), 0x00ff80u);

    p.selectColour(p.indexOf("Panel9"));
    EXPECT_FALSE(eraser.outerLowered);
    EXPECT_TRUE(eraser.innerLowered);
    EXPECT_TRUE(other.innerLowered);
    EXPECT_EQ(lowered(p), 1);

    p.selectFreeColour(0x111111);  // clicking "他" does not raise its inner bevel either
    EXPECT_TRUE(other.innerLowered);
}
