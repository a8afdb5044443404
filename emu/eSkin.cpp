// The emulated skin: the one named value the plug-in asks for, and a font
// for each decoration. Controls (buttons, lists, fields) use the skin's
// font size; texts are smaller, so that the composed screens (article
// header, separator rules, file details) keep their rows on one line.
#include "emu/widget_private.h"

namespace {

constexpr const char* kFamily = "DejaVu Sans";
constexpr int kControlPixels = 20;  // the skin's "fontsize"
constexpr int kLabelPixels = 16;
constexpr int kStatusBarPixels = 14;  // smaller still: status texts carry long rows

class EmuSkin : public eSkin {
public:
    int queryValue(const eString& name, int defaultValue) override {
        if (name == "fontsize") return kControlPixels;
        return defaultValue;
    }
    gFont queryFont(const eString& name) override {
        if (name == "eStatusBar") return gFont(kFamily, kStatusBarPixels);
        if (name == "eLabel") return gFont(kFamily, kLabelPixels);
        return gFont(kFamily, kControlPixels);
    }
};

}  // namespace

eSkin* eSkin::getActive() {
    static EmuSkin skin;
    return &skin;
}
