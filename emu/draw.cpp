// Plain loops over the visible part of each shape: the screen is small and
// a full repaint stays well below a frame time.
#include "emu/draw.h"

#include <algorithm>
#include <cmath>

namespace emu {
namespace {

eRect visiblePart(const gPixmap& target, const eRect& clip, const eRect& rect) {
    return rect.intersect(clip).intersect(eRect(0, 0, target.width(), target.height()));
}

inline uint8_t* pixelAt(gPixmap& target, int x, int y) {
    return target.pixels.data() + (static_cast<size_t>(y) * target.width() + x) * 4;
}

// Mixes colour `rgba` into one pixel with extra coverage 0..255.
inline void blend(uint8_t* px, uint32_t rgba, unsigned coverage) {
    unsigned a = ((rgba & 0xFF) * coverage + 127) / 255;
    if (a == 0) return;
    const unsigned src[3] = {rgba >> 24, (rgba >> 16) & 0xFF, (rgba >> 8) & 0xFF};
    if (a == 255) {
        px[0] = src[0], px[1] = src[1], px[2] = src[2], px[3] = 255;
        return;
    }
    for (int c = 0; c < 3; ++c) px[c] = static_cast<uint8_t>((src[c] * a + px[c] * (255 - a) + 127) / 255);
    px[3] = static_cast<uint8_t>(a + px[3] * (255 - a) / 255);
}

// Fills the pixels of `rect` by how much of each a shape covers, sampled on
// a 4 x 4 grid; `inside(x, y)` answers for a point in pixel coordinates.
template <class Inside>
void fillShape(gPixmap& target, const eRect& clip, const eRect& rect, uint32_t rgba, Inside inside) {
    eRect area = visiblePart(target, clip, rect);
    for (int y = area.top(); y < area.bottom(); ++y)
        for (int x = area.left(); x < area.right(); ++x) {
            unsigned hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) hits += inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4);
            if (hits) blend(pixelAt(target, x, y), rgba, hits * 255 / 16);
        }
}

}  // namespace

void fillRect(gPixmap& target, const eRect& clip, const eRect& rect, uint32_t rgba) {
    eRect area = visiblePart(target, clip, rect);
    for (int y = area.top(); y < area.bottom(); ++y) {
        uint8_t* px = pixelAt(target, area.left(), y);
        for (int x = 0; x < area.w; ++x, px += 4) blend(px, rgba, 255);
    }
}

void frameRect(gPixmap& target, const eRect& clip, const eRect& r, int t, uint32_t rgba) {
    if (r.isEmpty() || t <= 0) return;
    t = std::min({t, (r.w + 1) / 2, (r.h + 1) / 2});
    fillRect(target, clip, eRect(r.x, r.y, r.w, t), rgba);
    fillRect(target, clip, eRect(r.x, r.bottom() - t, r.w, t), rgba);
    fillRect(target, clip, eRect(r.x, r.y + t, t, r.h - 2 * t), rgba);
    fillRect(target, clip, eRect(r.right() - t, r.y + t, t, r.h - 2 * t), rgba);
}

void fillGradient(gPixmap& target, const eRect& clip, const eRect& rect, uint32_t top, uint32_t bottom) {
    for (int row = 0; row < rect.h; ++row) {
        uint32_t mixed = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            int a = (top >> shift) & 0xFF, b = (bottom >> shift) & 0xFF;
            int v = rect.h > 1 ? a + (b - a) * row / (rect.h - 1) : a;
            mixed |= static_cast<uint32_t>(v) << shift;
        }
        fillRect(target, clip, eRect(rect.x, rect.y + row, rect.w, 1), mixed);
    }
}

void fillRoundRect(gPixmap& target, const eRect& clip, const eRect& r, int radius, uint32_t rgba) {
    radius = std::max(0, std::min({radius, r.w / 2, r.h / 2}));
    if (radius == 0) return fillRect(target, clip, r, rgba);
    // Straight middle band, then the rounded top and bottom bands.
    fillRect(target, clip, eRect(r.x, r.y + radius, r.w, r.h - 2 * radius), rgba);
    const float rr = static_cast<float>(radius);
    auto inside = [&](float x, float y) {
        float cx = std::clamp(x, r.x + rr, r.right() - rr);
        float cy = std::clamp(y, r.y + rr, r.bottom() - rr);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= rr * rr;
    };
    fillShape(target, clip, eRect(r.x, r.y, r.w, radius), rgba, inside);
    fillShape(target, clip, eRect(r.x, r.bottom() - radius, r.w, radius), rgba, inside);
}

void fillCircle(gPixmap& target, const eRect& clip, ePoint c, int radius, uint32_t rgba) {
    const float cx = c.x + 0.5f, cy = c.y + 0.5f, rr = radius + 0.5f;
    fillShape(target, clip, eRect(c.x - radius - 1, c.y - radius - 1, 2 * radius + 3, 2 * radius + 3), rgba,
              [&](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= rr * rr; });
}

void fillTriangle(gPixmap& target, const eRect& clip, const eRect& r, uint32_t rgba) {
    const float apexX = r.x + r.w / 2.0f, top = static_cast<float>(r.y), h = static_cast<float>(r.h);
    fillShape(target, clip, r, rgba, [&](float x, float y) {
        float halfWidth = (y - top) / h * (r.w / 2.0f);
        return y >= top && y <= top + h && std::fabs(x - apexX) <= halfWidth;
    });
}

void blitPixmap(gPixmap& target, const eRect& clip, ePoint at, const gPixmap& source, bool alphaBlend) {
    eRect area = visiblePart(target, clip, eRect(at, source.size));
    for (int y = area.top(); y < area.bottom(); ++y) {
        const uint8_t* src = source.pixels.data() +
                             (static_cast<size_t>(y - at.y) * source.width() + (area.left() - at.x)) * 4;
        uint8_t* dst = pixelAt(target, area.left(), y);
        for (int x = 0; x < area.w; ++x, src += 4, dst += 4) {
            if (!alphaBlend) {
                dst[0] = src[0], dst[1] = src[1], dst[2] = src[2], dst[3] = 255;
                continue;
            }
            uint32_t rgba = (uint32_t(src[0]) << 24) | (uint32_t(src[1]) << 16) | (uint32_t(src[2]) << 8) | src[3];
            blend(dst, rgba, 255);
        }
    }
}

}  // namespace emu
