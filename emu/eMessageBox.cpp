// eMessageBox: a window centred on the screen, sized from its text, with an
// optional icon and one button per button flag. exec() returns the button's
// flag value, or -1 when the box is left with exit (or its time-out ends).
#include <algorithm>
#include "emu/text_engine.h"
#include "emu/widget_private.h"

namespace {

constexpr int kMargin = 10;
constexpr int kMaxTextWidth = 500;
constexpr int kMinClientWidth = 200;
constexpr int kIconSize = 40;
constexpr int kButtonWidth = 100;
constexpr int kButtonGap = 10;

struct ButtonKind {
    int flag;
    const char* text;
};
const ButtonKind kButtons[] = {
    {eMessageBox::btOK, "OK"}, {eMessageBox::btCancel, "Cancel"},
    {eMessageBox::btYes, "Yes"}, {eMessageBox::btNo, "No"},
};

const char* iconText(int flags) {
    if (flags & eMessageBox::iconError) return "X";
    if (flags & eMessageBox::iconWarning) return "!";
    if (flags & eMessageBox::iconQuestion) return "?";
    if (flags & eMessageBox::iconInfo) return "i";
    return nullptr;
}

// A hidden child that owns the box's time-out: the timer goes with the box.
class TimeoutGuard : public eWidget {
public:
    TimeoutGuard(eWidget* box, int seconds) : eWidget(box) {
        hide();
        timer = mainloop().addTimer(seconds * 1000, [box, this] {
            timer = 0;
            box->reject();
        });
    }
    ~TimeoutGuard() override {
        if (timer) mainloop().removeTimer(timer);
    }
    const char* className() const override { return "eTimeout"; }

private:
    int timer = 0;
};

}  // namespace

eMessageBox::eMessageBox(eString text, eString caption, int flags, int defaultButton, int timeout)
    : eWindow(0), message(std::move(text)), flags(flags) {
    setText(caption);
    const gFont font = getFont();

    int left = kMargin;
    int iconHeight = 0;
    if (const char* icon = iconText(flags)) {
        auto* label = new eLabel(this);
        label->setName("icon");
        label->setText(icon);
        label->move(ePoint(kMargin, kMargin));
        label->resize(eSize(kIconSize, kIconSize));
        left += kIconSize + kMargin;
        iconHeight = kIconSize;
    }

    eSize extent = emu::textExtent(font, message, 0);
    if (extent.w > kMaxTextWidth) extent = emu::textExtent(font, message, kMaxTextWidth);

    std::vector<const ButtonKind*> kinds;
    for (const ButtonKind& kind : kButtons)
        if (flags & kind.flag) kinds.push_back(&kind);
    const int buttonHeight = eSkin::getActive()->queryValue("fontsize", 20) + 8;
    const int rowWidth = static_cast<int>(kinds.size()) * (kButtonWidth + kButtonGap) - kButtonGap;

    int clientWidth = std::max({left + extent.w + kMargin, rowWidth + 2 * kMargin, kMinClientWidth});
    int bodyHeight = std::max(extent.h, iconHeight);
    int buttonsHeight = kinds.empty() ? 0 : buttonHeight + kMargin;
    // A text taller than the screen is cut, the buttons stay reachable.
    const int maxClientHeight = emu::kScreenHeight - emu::kWindowTitleHeight - emu::kWindowBorder - 2 * kMargin;
    bodyHeight = std::min(bodyHeight, maxClientHeight - 2 * kMargin - buttonsHeight);
    cresize(eSize(clientWidth, 2 * kMargin + bodyHeight + buttonsHeight));
    move(ePoint((emu::kScreenWidth - getSize().w) / 2, (emu::kScreenHeight - getSize().h) / 2));

    auto* label = new eLabel(this, eLabel::flagWrap);
    label->setName("message");
    label->move(ePoint(left, kMargin));
    label->resize(eSize(clientWidth - left - kMargin, bodyHeight));
    label->setText(message);

    int x = (clientWidth - rowWidth) / 2;
    eButton* focus = nullptr;
    for (const ButtonKind* kind : kinds) {
        auto* button = new eButton(this);
        button->setText(kind->text);
        button->move(ePoint(x, 2 * kMargin + bodyHeight));
        button->resize(eSize(kButtonWidth, buttonHeight));
        button->loadDeco();
        const int result = kind->flag;
        button->selected.connect([this, result] { close(result); });
        if (!focus || kind->flag == defaultButton) focus = button;
        x += kButtonWidth + kButtonGap;
    }
    if (focus) setFocus(focus);
    if (timeout > 0) new TimeoutGuard(this, timeout);
}

eMessageBox::~eMessageBox() = default;

int eMessageBox::getFlags() const { return flags; }

const eString& eMessageBox::getMessage() const { return message; }
