// PNG reading and writing with libpng.
//
// libpng reports errors by longjmp. The functions that call setjmp keep only
// trivially destructible locals, so the jump skips no destructor; the pixmap
// and the row table live in the callers.
#include "emu/png_io.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Larger images are refused rather than allocated: nothing on a 720 x 576
// screen needs them, and a forged header must not exhaust memory.
constexpr png_uint_32 kMaxDimension = 4096;

[[noreturn]] void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onWarning(png_structp, png_const_charp) {}

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// Reads the header and sets up the conversion to 8-bit RGBA.
bool readHeader(png_structp png, png_infop info, png_uint_32* width, png_uint_32* height) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_sig_bytes(png, 8);
    png_set_user_limits(png, kMaxDimension, kMaxDimension);
    png_read_info(png, info);
    int depth = png_get_bit_depth(png, info);
    int type = png_get_color_type(png, info);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    if (!(type & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    *width = png_get_image_width(png, info);
    *height = png_get_image_height(png, info);
    return png_get_rowbytes(png, info) == static_cast<size_t>(*width) * 4;
}

bool readRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    return true;
}

bool writeAll(png_structp png, png_infop info, FILE* file, png_uint_32 width, png_uint_32 height,
              png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

gPixmapPtr loadPNG(const char* filename) {
    if (!filename) return nullptr;
    File file(std::fopen(filename, "rb"));
    if (!file) return nullptr;
    png_byte signature[8];
    if (std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature ||
        png_sig_cmp(signature, 0, sizeof signature) != 0)
        return nullptr;

    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (!png) return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    png_init_io(png, file.get());

    gPixmapPtr result;
    png_uint_32 width = 0, height = 0;
    if (readHeader(png, info, &width, &height)) {
        auto pixmap = std::make_shared<gPixmap>(static_cast<int>(width), static_cast<int>(height));
        std::vector<png_bytep> rows(height);
        for (png_uint_32 y = 0; y < height; ++y)
            rows[y] = pixmap->pixels.data() + static_cast<size_t>(y) * width * 4;
        if (readRows(png, rows.data())) result = std::move(pixmap);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return result;
}

namespace emu {

bool writePNG(const gPixmap& pixmap, const std::string& path) {
    if (pixmap.width() <= 0 || pixmap.height() <= 0) return false;
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (info) {
        std::vector<png_bytep> rows(static_cast<size_t>(pixmap.height()));
        for (int y = 0; y < pixmap.height(); ++y)
            rows[y] = const_cast<png_bytep>(pixmap.pixels.data()) + static_cast<size_t>(y) * pixmap.width() * 4;
        ok = writeAll(png, info, file.get(), static_cast<png_uint_32>(pixmap.width()),
                      static_cast<png_uint_32>(pixmap.height()), rows.data());
    }
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (std::fclose(file.release()) != 0) ok = false;
    if (!ok) std::remove(path.c_str());
    return ok;
}

}  // namespace emu
