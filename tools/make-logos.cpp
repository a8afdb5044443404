// Draws the plug-in's two logos: the menu banner (518 x 123, shown at
// (1, 1) in a 520 x 125 label) and the about badge (105 x 105).
//   make-logos OUTPUT_DIR [FONT_DIR]
#include <ft2build.h>
#include FT_FREETYPE_H
#include <png.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Color {
    float r, g, b, a;
};

Color mix(Color x, Color y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

class Canvas {
public:
    Canvas(int w, int h) : w(w), h(h), px(size_t(w) * h, Color{0, 0, 0, 0}) {}
    int w, h;

    // Source-over blend of `c` with coverage `cover` (0..1).
    void blend(int x, int y, Color c, float cover) {
        if (x < 0 || y < 0 || x >= w || y >= h || cover <= 0) return;
        Color& d = px[size_t(y) * w + x];
        float a = c.a * std::min(cover, 1.0f);
        float out = a + d.a * (1 - a);
        if (out <= 0) return;
        d.r = (c.r * a + d.r * d.a * (1 - a)) / out;
        d.g = (c.g * a + d.g * d.a * (1 - a)) / out;
        d.b = (c.b * a + d.b * d.a * (1 - a)) / out;
        d.a = out;
    }

    // Fills with a shape given as a signed distance (negative inside),
    // anti-aliased over one pixel, coloured per pixel.
    template <class Distance, class Paint>
    void fill(Distance distance, Paint paint) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                float d = distance(x + 0.5f, y + 0.5f);
                blend(x, y, paint(x + 0.5f, y + 0.5f), std::clamp(0.5f - d, 0.0f, 1.0f));
            }
    }

    bool save(const std::string& path) const {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return false;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            png_destroy_write_struct(&png, &info);
            std::fclose(f);
            return false;
        }
        png_init_io(png, f);
        png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        std::vector<png_byte> row(size_t(w) * 4);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const Color& c = px[size_t(y) * w + x];
                const float v[4] = {c.r, c.g, c.b, c.a};
                for (int i = 0; i < 4; ++i) row[size_t(x) * 4 + i] = png_byte(std::lround(std::clamp(v[i], 0.0f, 1.0f) * 255));
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        return std::fclose(f) == 0;
    }

private:
    std::vector<Color> px;
};

float roundedBox(float x, float y, float x0, float y0, float x1, float y1, float radius) {
    float cx = std::clamp(x, x0 + radius, x1 - radius), cy = std::clamp(y, y0 + radius, y1 - radius);
    return std::hypot(x - cx, y - cy) - radius;
}

float segment(float x, float y, float ax, float ay, float bx, float by) {
    float dx = bx - ax, dy = by - ay;
    float t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(x - ax - t * dx, y - ay - t * dy);
}

// The emblem: a glowing lamp of light with twelve rays, the one mark of both logos.
void drawEmblem(Canvas& c, float cx, float cy, float r) {
    const Color warm{1.0f, 0.82f, 0.30f, 1}, hot{1.0f, 0.97f, 0.80f, 1}, glow{1.0f, 0.75f, 0.25f, 0.35f};
    c.fill([&](float x, float y) { return std::hypot(x - cx, y - cy) - r * 1.55f; },
           [&](float x, float y) {
               float t = std::hypot(x - cx, y - cy) / (r * 1.55f);
               return Color{glow.r, glow.g, glow.b, glow.a * (1 - t) * (1 - t)};
           });
    for (int i = 0; i < 12; ++i) {
        float angle = float(i) * 3.14159265f / 6;
        float inner = r * 0.78f, outer = r * (i % 2 ? 1.18f : 1.38f);
        float ax = cx + inner * std::cos(angle), ay = cy + inner * std::sin(angle);
        float bx = cx + outer * std::cos(angle), by = cy + outer * std::sin(angle);
        float width = r * (i % 2 ? 0.045f : 0.07f);
        c.fill([&](float x, float y) { return segment(x, y, ax, ay, bx, by) - width; },
               [&](float, float) { return warm; });
    }
    c.fill([&](float x, float y) { return std::hypot(x - cx, y - cy) - r * 0.62f; },
           [&](float x, float y) {
               float t = std::hypot(x - cx + r * 0.18f, y - cy + r * 0.18f) / (r * 0.9f);
               return mix(hot, warm, std::clamp(t, 0.0f, 1.0f));
           });
}

class Text {
public:
    explicit Text(const std::string& fontFile) {
        ok = FT_Init_FreeType(&library) == 0 && FT_New_Face(library, fontFile.c_str(), 0, &face) == 0;
    }
    ~Text() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
    bool ok = false;

    // Pixel width of an ASCII text at `size`.
    int width(const std::string& text, int size) {
        FT_Set_Pixel_Sizes(face, 0, size);
        int pen = 0;
        for (unsigned char ch : text)
            if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT) == 0) pen += int(face->glyph->advance.x >> 6);
        return pen;
    }

    void draw(Canvas& c, const std::string& text, int size, int x, int baseline, Color color) {
        FT_Set_Pixel_Sizes(face, 0, size);
        for (unsigned char ch : text) {
            if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0) continue;
            const FT_GlyphSlot g = face->glyph;
            for (unsigned row = 0; row < g->bitmap.rows; ++row)
                for (unsigned col = 0; col < g->bitmap.width; ++col)
                    c.blend(x + g->bitmap_left + int(col), baseline - g->bitmap_top + int(row), color,
                            g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f);
            x += int(g->advance.x >> 6);
        }
    }

private:
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

const Color kNight{0.04f, 0.11f, 0.23f, 1}, kSea{0.07f, 0.37f, 0.48f, 1};
const Color kWhite{1, 1, 1, 1}, kMist{0.70f, 0.86f, 0.95f, 1}, kGold{1.0f, 0.82f, 0.30f, 1};

bool banner(const std::string& path, Text& bold, Text& plain) {
    Canvas c(518, 123);
    c.fill([&](float x, float y) { return roundedBox(x, y, 0, 0, 518, 123, 10); },
           [&](float x, float y) { return mix(kNight, kSea, std::clamp(x / 518 * 0.8f + y / 123 * 0.2f, 0.0f, 1.0f)); });
    drawEmblem(c, 66, 61, 34);
    bold.draw(c, "Lumen News", 50, 132, 70, kWhite);
    c.fill([&](float x, float y) { return roundedBox(x, y, 134, 82, 134 + bold.width("Lumen News", 50), 85, 1.5f); },
           [&](float, float) { return kGold; });
    plain.draw(c, "Orbivox news and community, by the Corvane Team", 14, 134, 106, kMist);
    return c.save(path);
}

bool badge(const std::string& path, Text& bold) {
    Canvas c(105, 105);
    c.fill([&](float x, float y) { return roundedBox(x, y, 2, 2, 103, 103, 14); },
           [&](float x, float y) { return mix(kNight, kSea, std::clamp((x + y) / 210, 0.0f, 1.0f)); });
    drawEmblem(c, 52.5f, 42, 22);
    int w = bold.width("LUMEN", 17);
    bold.draw(c, "LUMEN", 17, (105 - w) / 2, 92, kWhite);
    return c.save(path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-logos OUTPUT_DIR [FONT_DIR]\n");
        return 2;
    }
    std::string out = argv[1], fonts = argc > 2 ? argv[2] : "/usr/share/fonts/truetype/dejavu";
    Text bold(fonts + "/DejaVuSans-Bold.ttf"), plain(fonts + "/DejaVuSans.ttf");
    if (!bold.ok || !plain.ok) {
        std::fprintf(stderr, "make-logos: cannot load the DejaVu fonts from %s\n", fonts.c_str());
        return 1;
    }
    if (!banner(out + "/LumenNews.png", bold, plain) || !badge(out + "/LumenNews2.png", bold)) {
        std::fprintf(stderr, "make-logos: cannot write into %s\n", out.c_str());
        return 1;
    }
    return 0;
}
