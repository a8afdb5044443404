// Fonts, pixmaps and painters of the host.
//
// Colours are true colour (RGBA): a pixmap has no palette of its own, so
// gPainter::mergePalette has nothing to merge and only keeps the call valid.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>
#include "estring.h"
#include "geometry.h"
#include "host_api.h"

// A font: family name and pixel size.
struct HOST_API gFont {
    eString family;
    int pointSize = 0;
    gFont() = default;
    gFont(const eString& family, int pointSize) : family(family), pointSize(pointSize) {}
    bool operator==(const gFont& o) const { return family == o.family && pointSize == o.pointSize; }
};

// An RGBA image, row-major, 4 bytes a pixel (R, G, B, A).
class HOST_API gPixmap {
public:
    gPixmap(int width, int height);
    int width() const { return size.w; }
    int height() const { return size.h; }
    eSize size;
    std::vector<uint8_t> pixels;
};
using gPixmapPtr = std::shared_ptr<gPixmap>;

// Loads a PNG file. Returns nullptr when the file is missing, unreadable or
// not a PNG. The caller shares ownership with every widget it hands it to.
HOST_API gPixmapPtr loadPNG(const char* filename);

// A drawing device over a pixmap. Borrows the pixmap; the pixmap must outlive it.
class HOST_API gPixmapDC {
public:
    explicit gPixmapDC(gPixmap* pixmap) : pixmap(pixmap) {}
    virtual ~gPixmapDC() = default;
    gPixmap& getPixmap() const { return *pixmap; }
protected:
    gPixmap* pixmap;
};

// The framebuffer device: one 720 x 576 pixmap, owned by the host, alive for
// the whole run.
class HOST_API gFBDC : public gPixmapDC {
public:
    static gFBDC* getInstance();
    gFBDC();
private:
    gPixmap framebuffer;
};

// A painter over a device context. Borrows the device; short-lived.
class HOST_API gPainter {
public:
    explicit gPainter(gPixmapDC& dc, eRect clip = eRect());
    // Merges the palette of `source` into the painter's pixmap. True-colour
    // pixmaps have none, so this only records nothing and returns.
    void mergePalette(gPixmap& source);
    gPixmapDC& device() const { return dc; }
    eRect clip() const { return clipRect; }
private:
    gPixmapDC& dc;
    eRect clipRect;
};

// The host's font renderer (FreeType). One instance for the whole run.
class HOST_API fontRenderClass {
public:
    static fontRenderClass* getInstance();
    // Height of one text line of `font`, from the font's real metrics.
    virtual float getLineHeight(const gFont& font) = 0;
protected:
    virtual ~fontRenderClass() = default;
};

// The active skin: named values and fonts. One instance for the whole run.
class HOST_API eSkin {
public:
    static eSkin* getActive();
    // The skin's value for `name`, or `defaultValue` when it has none.
    // The emulated skin knows "fontsize" (20).
    virtual int queryValue(const eString& name, int defaultValue) = 0;
    // A named font: "eStatusBar", "eLabel" (the label default), ...
    virtual gFont queryFont(const eString& name) = 0;
protected:
    virtual ~eSkin() = default;
};
