// The emulated skin: the one named value the plug-in asks for and the
// fonts of its labels and status texts.
#include "emu/widget_private.h"

namespace {

constexpr const char* kFamily = "DejaVu Sans";
constexpr int kLabelPixels = 20;
constexpr int kStatusBarPixels = 16;  // smaller: status texts carry long rows

class EmuSkin : public eSkin {
public:
    int queryValue(const eString& name, int defaultValue) override {
        if (name == "fontsize") return 20;
        return defaultValue;
    }
    gFont queryFont(const eString& name) override {
        if (name == "eStatusBar") return gFont(kFamily, kStatusBarPixels);
        return gFont(kFamily, kLabelPixels);
    }
};

}  // namespace

eSkin* eSkin::getActive() {
    static EmuSkin skin;
    return &skin;
}
