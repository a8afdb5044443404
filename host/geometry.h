// Points, sizes and rectangles in framebuffer pixels.
#pragma once

struct ePoint {
    int x = 0, y = 0;
    ePoint() = default;
    ePoint(int x, int y) : x(x), y(y) {}
    bool operator==(const ePoint& o) const { return x == o.x && y == o.y; }
};

struct eSize {
    int w = 0, h = 0;
    eSize() = default;
    eSize(int w, int h) : w(w), h(h) {}
    int width() const { return w; }
    int height() const { return h; }
    bool operator==(const eSize& o) const { return w == o.w && h == o.h; }
};

struct eRect {
    int x = 0, y = 0, w = 0, h = 0;
    eRect() = default;
    eRect(int x, int y, int w, int h) : x(x), y(y), w(w), h(h) {}
    eRect(ePoint p, eSize s) : x(p.x), y(p.y), w(s.w), h(s.h) {}
    bool isEmpty() const { return w <= 0 || h <= 0; }
    int left() const { return x; }
    int top() const { return y; }
    int right() const { return x + w; }
    int bottom() const { return y + h; }
    eRect intersect(const eRect& o) const;
};

inline eRect eRect::intersect(const eRect& o) const {
    int l = x > o.x ? x : o.x, t = y > o.y ? y : o.y;
    int r = right() < o.right() ? right() : o.right();
    int b = bottom() < o.bottom() ? bottom() : o.bottom();
    return (r <= l || b <= t) ? eRect() : eRect(l, t, r - l, b - t);
}
