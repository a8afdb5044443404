// FreeType text: faces are opened once, and each pixel size keeps its own
// metrics, advances and rendered glyphs, so laying out long articles only
// decodes UTF-8 and adds up cached advances.
#include "emu/text_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unordered_map>

namespace emu {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr int kDefaultPixels = 20;
constexpr int kMaxPixels = 512;

// Decodes one UTF-8 sequence at s[i]. Anything malformed (stray
// continuation, overlong form, surrogate, beyond U+10FFFF, cut short)
// consumes one byte and yields U+FFFD, so every byte string lays out.
char32_t decodeUtf8(const std::string& s, size_t i, size_t& length) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b0 = byte(i);
    length = 1;
    if (b0 < 0x80) return b0;
    int extra;
    char32_t cp, minimum;
    if ((b0 & 0xE0) == 0xC0) { extra = 1; cp = b0 & 0x1F; minimum = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { extra = 2; cp = b0 & 0x0F; minimum = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { extra = 3; cp = b0 & 0x07; minimum = 0x10000; }
    else return kReplacement;
    if (i + extra >= s.size()) return kReplacement;  // cut short
    for (int k = 1; k <= extra; ++k) {
        unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) return kReplacement;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kReplacement;
    length = static_cast<size_t>(extra) + 1;
    return cp;
}

struct Glyph {
    int advance = 0;
    int left = 0, top = 0, width = 0, rows = 0;
    std::vector<uint8_t> coverage;  // rows x width, 0..255
};

// One face at one pixel size.
struct SizedFace {
    FT_Face face = nullptr;  // borrowed from Fonts
    FT_Size size = nullptr;  // owned by the face; freed with it
    int pixels = 0;
    int ascender = 0, height = 0;
    std::array<int, 128> asciiAdvance{};
    std::unordered_map<char32_t, int> advances;
    std::unordered_map<char32_t, Glyph> glyphs;

    void activate() const {
        if (size) FT_Activate_Size(size);
    }

    int computeAdvance(char32_t cp) const {
        if (!face) return (pixels * 55 + 50) / 100;  // no font: a plausible guess
        activate();
        if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT) != 0) return 0;
        return static_cast<int>((face->glyph->advance.x + 32) >> 6);
    }

    int advance(char32_t cp) {
        if (cp < 128) return asciiAdvance[cp];
        auto it = advances.find(cp);
        if (it != advances.end()) return it->second;
        int a = computeAdvance(cp);
        advances.emplace(cp, a);
        return a;
    }

    const Glyph& glyph(char32_t cp) {
        auto it = glyphs.find(cp);
        if (it != glyphs.end()) return it->second;
        Glyph g;
        g.advance = advance(cp);
        if (face) {
            activate();
            if (FT_Load_Char(face, cp, FT_LOAD_RENDER) == 0) {
                const FT_Bitmap& bm = face->glyph->bitmap;
                if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
                    g.left = face->glyph->bitmap_left;
                    g.top = face->glyph->bitmap_top;
                    g.width = static_cast<int>(bm.width);
                    g.rows = static_cast<int>(bm.rows);
                    g.coverage.resize(static_cast<size_t>(g.width) * g.rows);
                    for (int y = 0; y < g.rows; ++y)
                        std::copy_n(bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch, g.width,
                                    g.coverage.begin() + static_cast<ptrdiff_t>(y) * g.width);
                }
            }
        }
        return glyphs.emplace(cp, std::move(g)).first->second;
    }
};

class Fonts {
public:
    ~Fonts() {
        sized.clear();
        if (regular) FT_Done_Face(regular);
        if (bold) FT_Done_Face(bold);
        if (library) FT_Done_FreeType(library);
    }

    bool init() {
        if (tried) return regular != nullptr;
        tried = true;
        const char* dirEnv = std::getenv("LUMEN_FONT_DIR");
        std::string dir = dirEnv && *dirEnv ? dirEnv : "/usr/share/fonts/truetype/dejavu";
        std::string regularPath = dir + "/DejaVuSans.ttf";
        if (FT_Init_FreeType(&library) != 0) {
            library = nullptr;
            std::fprintf(stderr, "lumenhost: cannot initialise FreeType\n");
            return false;
        }
        if (FT_New_Face(library, regularPath.c_str(), 0, &regular) != 0) {
            regular = nullptr;
            std::fprintf(stderr, "lumenhost: font %s is missing (install fonts-dejavu-core)\n",
                         regularPath.c_str());
            return false;
        }
        // Bold is a nicety for titles; without it they use the regular face.
        if (FT_New_Face(library, (dir + "/DejaVuSans-Bold.ttf").c_str(), 0, &bold) != 0)
            bold = nullptr;
        return true;
    }

    SizedFace& get(const gFont& font) {
        if (!tried) init();
        int pixels = font.pointSize > 0 ? std::min(font.pointSize, kMaxPixels) : kDefaultPixels;
        bool wantBold = font.family.find("Bold") != std::string::npos ||
                        font.family.find("bold") != std::string::npos;
        FT_Face face = wantBold && bold ? bold : regular;
        int key = pixels * 2 + (face == bold && bold ? 1 : 0);
        if (lastKey == key && last) return *last;
        auto& slot = sized[key];
        if (!slot) slot = makeSized(face, pixels);
        lastKey = key;
        last = slot.get();
        return *slot;
    }

private:
    static std::unique_ptr<SizedFace> makeSized(FT_Face face, int pixels) {
        auto s = std::make_unique<SizedFace>();
        s->pixels = pixels;
        if (face && FT_New_Size(face, &s->size) == 0) {
            FT_Activate_Size(s->size);
            if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) == 0) {
                s->face = face;
                const FT_Size_Metrics& m = face->size->metrics;
                s->ascender = static_cast<int>((m.ascender + 63) >> 6);
                s->height = static_cast<int>((m.height + 32) >> 6);
            }
        }
        if (!s->face) {  // no usable font: synthetic metrics keep layout going
            s->ascender = (pixels * 93 + 50) / 100;
            s->height = (pixels * 117 + 50) / 100;
        }
        for (char32_t c = 0; c < 128; ++c)
            s->asciiAdvance[c] = c < 0x20 || c == 0x7F ? 0 : s->computeAdvance(c);
        return s;
    }

    bool tried = false;
    FT_Library library = nullptr;
    FT_Face regular = nullptr, bold = nullptr;
    std::unordered_map<int, std::unique_ptr<SizedFace>> sized;
    int lastKey = -1;
    SizedFace* last = nullptr;
};

Fonts& fonts() {
    static Fonts instance;
    return instance;
}

bool isBlank(char32_t cp) { return cp == ' ' || cp == '\t'; }

// Advance of `cp` at pen position x: tabs go to the next multiple of 8 blanks,
// other control characters take no room.
int stepWidth(SizedFace& f, char32_t cp, int x) {
    if (cp == '\t') {
        int stop = 8 * f.asciiAdvance[' '];
        return stop > 0 ? stop - x % stop : 0;
    }
    return f.advance(cp);
}

// Lays out one paragraph (no line feeds inside) [begin, end) of `text`.
void layoutParagraph(SizedFace& f, const std::string& text, size_t begin, size_t end, int wrap,
                     std::vector<TextLine>& out) {
    const size_t linesBefore = out.size();
    size_t lineStart = begin, i = begin;
    int x = 0;
    // The last blank run of this line: where it starts, where it ends, and
    // the line's width before it.
    size_t breakAt = std::string::npos, breakEnd = 0;
    int widthAtBreak = 0;
    bool prevBlank = false;
    auto emit = [&](size_t from, size_t to, int width) {
        out.push_back(TextLine{text.substr(from, to - from), width});
    };
    while (i < end) {
        size_t len;
        char32_t cp = decodeUtf8(text, i, len);
        int adv = stepWidth(f, cp, x);
        bool blank = isBlank(cp);
        if (wrap > 0 && !blank && x + adv > wrap) {
            if (breakAt != std::string::npos && breakAt > lineStart) {
                emit(lineStart, breakAt, widthAtBreak);
                i = lineStart = breakEnd;  // rescan the word: tabs depend on x
            } else if (i > lineStart) {
                emit(lineStart, i, x);
                lineStart = i;
            } else {
                // One character wider than the line: it gets a line of its own.
                i += len;
                emit(lineStart, i, adv);
                lineStart = i;
            }
            x = 0;
            breakAt = std::string::npos;
            prevBlank = false;
            continue;
        }
        if (blank) {
            if (!prevBlank) { breakAt = i; widthAtBreak = x; }
            breakEnd = i + len;
        }
        prevBlank = blank;
        x += adv;
        i += len;
    }
    // Blanks left hanging past the margin do not count towards the width.
    if (wrap > 0 && prevBlank && breakAt != std::string::npos && x > wrap) x = widthAtBreak;
    // An empty paragraph is still one (empty) line.
    if (lineStart < end || out.size() == linesBefore) emit(lineStart, end, x);
}

inline uint8_t blendChannel(uint8_t dst, uint8_t src, unsigned alpha) {
    return static_cast<uint8_t>((src * alpha + dst * (255 - alpha) + 127) / 255);
}

}  // namespace

bool initFonts() { return fonts().init(); }

float lineHeight(const gFont& font) { return static_cast<float>(fonts().get(font).height); }

std::vector<TextLine> layoutText(const gFont& font, const std::string& text, int wrapWidth) {
    std::vector<TextLine> lines;
    if (text.empty()) return lines;
    SizedFace& f = fonts().get(font);
    size_t start = 0;
    while (true) {
        size_t lf = text.find('\n', start);
        size_t end = lf == std::string::npos ? text.size() : lf;
        layoutParagraph(f, text, start, end, wrapWidth, lines);
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
    return lines;
}

eSize textExtent(const gFont& font, const std::string& text, int wrapWidth) {
    std::vector<TextLine> lines = layoutText(font, text, wrapWidth);
    int width = 0;
    for (const TextLine& l : lines) width = std::max(width, l.width);
    return eSize(width, static_cast<int>(lines.size()) * fonts().get(font).height);
}

int lineWidth(const gFont& font, const std::string& line) {
    SizedFace& f = fonts().get(font);
    int x = 0;
    for (size_t i = 0, len; i < line.size(); i += len) x += stepWidth(f, decodeUtf8(line, i, len), x);
    return x;
}

void drawLine(gPixmap& target, const eRect& clip, ePoint origin, const gFont& font,
              const std::string& line, uint32_t rgba) {
    eRect area = clip.intersect(eRect(0, 0, target.width(), target.height()));
    SizedFace& f = fonts().get(font);
    if (area.isEmpty() || !f.face) return;
    if (origin.y >= area.bottom() || origin.y + f.height <= area.top()) return;
    const uint8_t r = rgba >> 24, g = (rgba >> 16) & 0xFF, b = (rgba >> 8) & 0xFF;
    const unsigned a = rgba & 0xFF;
    const int baseline = origin.y + f.ascender;
    int x = 0;
    for (size_t i = 0, len; i < line.size(); i += len) {
        char32_t cp = decodeUtf8(line, i, len);
        int penX = origin.x + x;
        x += stepWidth(f, cp, x);
        if (cp < 0x20 || cp == 0x7F) continue;
        if (penX >= area.right()) break;
        const Glyph& gl = f.glyph(cp);
        int gx = penX + gl.left, gy = baseline - gl.top;
        int x0 = std::max(gx, area.left()), x1 = std::min(gx + gl.width, area.right());
        int y0 = std::max(gy, area.top()), y1 = std::min(gy + gl.rows, area.bottom());
        for (int y = y0; y < y1; ++y) {
            const uint8_t* cov = gl.coverage.data() + static_cast<size_t>(y - gy) * gl.width;
            uint8_t* px = target.pixels.data() + (static_cast<size_t>(y) * target.width() + x0) * 4;
            for (int xx = x0; xx < x1; ++xx, px += 4) {
                unsigned alpha = (cov[xx - gx] * a + 127) / 255;
                if (!alpha) continue;
                px[0] = blendChannel(px[0], r, alpha);
                px[1] = blendChannel(px[1], g, alpha);
                px[2] = blendChannel(px[2], b, alpha);
                px[3] = static_cast<uint8_t>(alpha + px[3] * (255 - alpha) / 255);
            }
        }
    }
}

void drawText(gPixmap& target, const eRect& clip, ePoint origin, const gFont& font,
              const std::string& text, int wrapWidth, uint32_t rgba) {
    const int step = static_cast<int>(lineHeight(font));
    int y = origin.y;
    for (const TextLine& line : layoutText(font, text, wrapWidth)) {
        if (y >= clip.bottom()) break;
        if (y + step > clip.top()) drawLine(target, clip, ePoint(origin.x, y), font, line.text, rgba);
        y += step;
    }
}

namespace {
class FreeTypeRenderer : public fontRenderClass {
public:
    float getLineHeight(const gFont& font) override { return lineHeight(font); }
};
}  // namespace

}  // namespace emu

fontRenderClass* fontRenderClass::getInstance() {
    static emu::FreeTypeRenderer instance;
    return &instance;
}
