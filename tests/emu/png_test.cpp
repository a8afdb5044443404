// loadPNG normalises every PNG flavour to RGBA8 and refuses broken files;
// writePNG round-trips exactly.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <unistd.h>

#include "emu/png_io.h"
#include "host/graphics.h"

namespace {

std::string fixture(const char* name) { return std::string(LUMEN_TEST_DATA) + "/emu/png/" + name; }

std::array<int, 4> at(const gPixmap& p, int x, int y) {
    const uint8_t* px = p.pixels.data() + (static_cast<size_t>(y) * p.width() + x) * 4;
    return {px[0], px[1], px[2], px[3]};
}

using Rgba = std::array<int, 4>;

// A scratch directory of this test, removed with it.
class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/lumen-png-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made) dir = made;
    }
    ~ScratchDir() {
        if (!dir.empty()) std::system(("rm -rf '" + dir + "'").c_str());
    }
    std::string path(const char* name) const { return dir + "/" + name; }
    std::string dir;
};

TEST(LoadPng, PaletteAndGreyFormsBecomeRgba) {
    struct Case { const char* file; std::vector<Rgba> firstRow; };
    const Case cases[] = {
        {"palette_2bit_transparent_entry.png", {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 0}, {255, 255, 255, 255}}},
        {"gray_16bit.png", {{0, 0, 0, 255}, {255, 255, 255, 255}}},
        {"gray_alpha.png", {{100, 100, 100, 50}, {200, 200, 200, 255}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        gPixmapPtr p = loadPNG(fixture(c.file).c_str());
        ASSERT_TRUE(p);
        ASSERT_GE(p->width(), static_cast<int>(c.firstRow.size()));
        for (size_t x = 0; x < c.firstRow.size(); ++x) EXPECT_EQ(at(*p, static_cast<int>(x), 0), c.firstRow[x]) << x;
    }
}

TEST(LoadPng, InterlacedImageIsAssembled) {
    gPixmapPtr p = loadPNG(fixture("rgb_interlaced.png").c_str());
    ASSERT_TRUE(p);
    ASSERT_EQ(p->size, eSize(3, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(at(*p, x, y), (Rgba{80 * x, 80 * y, 7, 255})) << x << "," << y;
}

TEST(LoadPng, BrokenOrForeignFilesGiveNothing) {
    EXPECT_FALSE(loadPNG(fixture("does_not_exist.png").c_str()));
    EXPECT_FALSE(loadPNG(fixture("truncated.png").c_str()));
    EXPECT_FALSE(loadPNG(fixture("not_a_png.txt").c_str()));
    EXPECT_FALSE(loadPNG(fixture("oversized_header.png").c_str()));
    EXPECT_FALSE(loadPNG(LUMEN_TEST_DATA));  // a directory
    EXPECT_FALSE(loadPNG(nullptr));
}

TEST(WritePng, RoundTripKeepsEveryPixel) {
    ScratchDir scratch;
    ASSERT_FALSE(scratch.dir.empty());
    gPixmap original(37, 11);  // odd sizes catch row-stride mistakes
    for (size_t i = 0; i < original.pixels.size(); ++i) original.pixels[i] = static_cast<uint8_t>(i * 7 + i / 13);
    const std::string path = scratch.path("round.png");
    ASSERT_TRUE(emu::writePNG(original, path));
    gPixmapPtr loaded = loadPNG(path.c_str());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->size, original.size);
    EXPECT_EQ(loaded->pixels, original.pixels);
}

TEST(WritePng, UnwritablePathFailsAndLeavesNothing) {
    gPixmap p(4, 4);
    EXPECT_FALSE(emu::writePNG(p, "/nonexistent-dir/shot.png"));
    ScratchDir scratch;
    gPixmap empty(0, 5);
    const std::string path = scratch.path("empty.png");
    EXPECT_FALSE(emu::writePNG(empty, path));
    EXPECT_NE(access(path.c_str(), F_OK), 0);
}

}  // namespace
