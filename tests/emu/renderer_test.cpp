// The software renderer: what a person sees on a screenshot. Focus and
// current-entry colours of the standard scene are checked by the reference
// screenshots at the end; the pixel tests cover what those do not show.
//
// Reference screenshots live in tests/data/emu/reference/. After a deliberate
// change of the look, regenerate them with
//     LUMEN_UPDATE_REFERENCE=1 ./emu_render_tests --gtest_filter='RendererReference.*'
// and look at them before committing. A mismatching run leaves the actual
// image next to the test's temporary files and names it in the failure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "emu/png_io.h"
#include "emu/screen.h"
#include "emu/theme.h"
#include "host/ewidget.h"

namespace {

uint32_t pixel(int x, int y) {
    const gPixmap& fb = gFBDC::getInstance()->getPixmap();
    const uint8_t* p = fb.pixels.data() + (static_cast<size_t>(y) * fb.width() + x) * 4;
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// Widgets are owned by their window; the window by the test.
struct Scene {
    std::unique_ptr<eWindow> window = std::make_unique<eWindow>(1);
    eLabel* label;
    eButton* first;
    eButton* second;
    eListBox<eListBoxEntryText>* list;
    eProgress* bar;

    Scene() {
        window->setText("Renderer scene");
        window->cmove(ePoint(100, 80));
        window->cresize(eSize(520, 440));
        label = new eLabel(window.get(), eLabel::flagWrap);
        label->move(ePoint(10, 10));
        label->resize(eSize(300, 50));
        label->setText("A wrapped label that needs two lines here");
        first = button(1, "1", "First entry");
        second = button(2, "red", "Second entry");
        list = new eListBox<eListBoxEntryText>(window.get());
        list->move(ePoint(10, 180));
        list->resize(eSize(440, 5 * list->getEntryHeightPx() + 2));
        for (int i = 1; i <= 8; ++i) new eListBoxEntryText(list, eString().sprintf("Item number %d", i), i);
        list->setCurrentIndex(2);
        bar = new eProgress(window.get());
        bar->direction = 1;
        bar->move(ePoint(480, 10));
        bar->resize(eSize(16, 300));
        bar->setParams(25, 50);
        window->setFocus(first);
        window->show();
    }

    eButton* button(int row, const char* key, const char* text) {
        auto* b = new eButton(window.get());
        b->move(ePoint(10, 60 + 40 * row));
        b->resize(eSize(300, 30));
        b->setShortcut(key);
        b->setShortcutPixmap(key);
        b->setText(text);
        b->loadDeco();
        return b;
    }

    // Screen point of a point in the window's client area.
    ePoint at(int x, int y) const {
        ePoint c = window->getAbsoluteClientPosition();
        return ePoint(c.x + x, c.y + y);
    }
    uint32_t clientPixel(int x, int y) const {
        ePoint p = at(x, y);
        return pixel(p.x, p.y);
    }
};

TEST(Renderer, ListShowsEntriesFromTheTopIndex) {
    Scene scene;
    scene.window->setFocus(scene.list);
    scene.list->setCurrentIndex(7);  // the last entry scrolls the list
    ASSERT_GT(scene.list->getTopIndex(), 0);
    emu::renderScreen();
    const int h = scene.list->getEntryHeightPx();
    const int row = 7 - scene.list->getTopIndex();
    EXPECT_EQ(scene.clientPixel(430, 180 + row * h + h / 2), emu::theme::focusFace);
}

TEST(Renderer, ListSizedForThreeEntriesShowsAllThree) {
    // The combo box popup is sized exactly so; its border must not eat a row.
    eWindow window(1);
    window.cmove(ePoint(100, 100));
    window.cresize(eSize(300, 200));
    auto* list = new eListBox<eListBoxEntryText>(&window);
    const int h = list->getEntryHeightPx();
    list->resize(eSize(300, 3 * h));
    for (const char* text : {"English", "French", "Italian"}) new eListBoxEntryText(list, text);
    list->setCurrentIndex(2);
    window.setFocus(list);
    window.show();
    emu::renderScreen();
    ASSERT_EQ(list->getTopIndex(), 0);
    ePoint c = window.getAbsoluteClientPosition();
    EXPECT_EQ(pixel(c.x + 280, c.y + 2 * h + h / 2), emu::theme::focusFace);
}

TEST(Renderer, VerticalBarFillsFromStartForSize) {
    Scene scene;
    emu::renderScreen();
    // Inner height 296 from y 12: filled from 25 % to 75 %.
    EXPECT_EQ(scene.clientPixel(488, 12 + 296 * 25 / 100 + 2), emu::theme::barFill);
    EXPECT_EQ(scene.clientPixel(488, 12 + 296 * 75 / 100 - 2), emu::theme::barFill);
    EXPECT_EQ(scene.clientPixel(488, 12 + 296 * 25 / 100 - 3), emu::theme::barTrough);
    EXPECT_EQ(scene.clientPixel(488, 12 + 296 * 75 / 100 + 3), emu::theme::barTrough);
    scene.bar->setParams(0, 0);
    emu::renderScreen();
    EXPECT_EQ(scene.clientPixel(488, 160), emu::theme::barTrough);
}

TEST(Renderer, ChildrenAreClippedToTheParentsClientArea) {
    eWindow window(1);
    window.cmove(ePoint(100, 100));
    window.cresize(eSize(200, 100));
    auto* clipper = new eWidget(&window);
    clipper->move(ePoint(10, 10));
    clipper->resize(eSize(100, 40));
    auto* tall = new eProgress(clipper);  // solid fill: easy to see where it goes
    tall->move(ePoint(-20, -20));
    tall->resize(eSize(300, 300));
    tall->setParams(0, 100);
    window.show();
    emu::renderScreen();
    ePoint c = window.getAbsoluteClientPosition();
    EXPECT_EQ(pixel(c.x + 50, c.y + 30), emu::theme::barFill);
    EXPECT_EQ(pixel(c.x + 50, c.y + 55), emu::theme::windowClient);
    EXPECT_EQ(pixel(c.x + 150, c.y + 30), emu::theme::windowClient);
    EXPECT_EQ(pixel(c.x + 5, c.y + 30), emu::theme::windowClient);
}

TEST(Renderer, HiddenWindowsLeaveTheScreenAndLaterWindowsCoverEarlierOnes) {
    eWindow below(1), above(1);
    below.cmove(ePoint(50, 50));
    below.cresize(eSize(200, 200));
    above.cmove(ePoint(150, 150));
    above.cresize(eSize(200, 200));
    auto* bar = new eProgress(&below);
    bar->resize(eSize(200, 200));
    bar->setParams(0, 100);
    below.show();
    above.show();
    emu::renderScreen();
    EXPECT_EQ(pixel(100, 100), emu::theme::barFill);
    EXPECT_EQ(pixel(200, 200), emu::theme::windowClient);  // `above` wins the overlap
    above.hide();
    emu::renderScreen();
    EXPECT_EQ(pixel(200, 200), emu::theme::barFill);
    EXPECT_EQ(pixel(400, 400), emu::theme::screen);
}

TEST(Renderer, LogoIsCentredAndAlphaBlendedWithBlitFlagOne) {
    eWindow window(1);
    window.cmove(ePoint(100, 100));
    window.cresize(eSize(520, 200));
    auto logo = std::make_shared<gPixmap>(100, 20);
    for (size_t i = 0; i < logo->pixels.size(); i += 4) {
        logo->pixels[i] = 255;      // red
        logo->pixels[i + 3] = 128;  // half transparent
    }
    auto* blended = new eLabel(&window);
    blended->resize(eSize(520, 50));
    blended->setBlitFlags(1);
    blended->setProperty("align", "center");
    blended->setPixmap(logo);
    blended->setPixmapPosition(ePoint(1, 1));
    auto* copied = new eLabel(&window);
    copied->move(ePoint(0, 100));
    copied->resize(eSize(520, 50));
    copied->setPixmap(logo);
    copied->setPixmapPosition(ePoint(1, 1));
    window.show();
    emu::renderScreen();
    ePoint c = window.getAbsoluteClientPosition();
    // Centred: x 210..309 of 520.
    EXPECT_EQ(pixel(c.x + 205, c.y + 10), emu::theme::windowClient);
    uint32_t mixed = pixel(c.x + 260, c.y + 10);
    EXPECT_NEAR(int(mixed >> 24), (255 + 0x18) / 2, 2);
    EXPECT_NEAR(int((mixed >> 8) & 0xFF), 0x2B / 2, 2);
    // Without blending the pixmap is copied opaque at its position.
    EXPECT_EQ(pixel(c.x + 1, c.y + 101), 0xFF0000FFu);
    EXPECT_EQ(pixel(c.x + 0, c.y + 101), emu::theme::windowClient);
}

// ---- Reference screenshots ------------------------------------------------

std::string referencePath(const std::string& name) {
    return std::string(LUMEN_TEST_DATA) + "/emu/reference/" + name + ".png";
}

// Compares the framebuffer with a reference: a pixel differs when a channel
// is off by more than 48 (font hinting may move edges a little); at most
// 0.5 % of the pixels may differ.
void expectMatchesReference(const std::string& name) {
    emu::renderScreen();
    const gPixmap& fb = gFBDC::getInstance()->getPixmap();
    const char* update = std::getenv("LUMEN_UPDATE_REFERENCE");
    if (update && std::string(update) == "1") {
        ASSERT_TRUE(emu::writePNG(fb, referencePath(name)));
        GTEST_SKIP() << "reference " << name << " rewritten";
    }
    gPixmapPtr ref = loadPNG(referencePath(name).c_str());
    ASSERT_TRUE(ref) << "missing reference " << referencePath(name) << " (LUMEN_UPDATE_REFERENCE=1 makes it)";
    ASSERT_EQ(ref->size, fb.size);
    size_t differing = 0;
    for (size_t i = 0; i < fb.pixels.size(); i += 4)
        for (int c = 0; c < 4; ++c)
            if (std::abs(int(fb.pixels[i + c]) - int(ref->pixels[i + c])) > 48) {
                ++differing;
                break;
            }
    const size_t total = fb.pixels.size() / 4;
    if (differing * 200 > total) {
        std::string actual = ::testing::TempDir() + name + "-actual.png";
        emu::writePNG(fb, actual);
        ADD_FAILURE() << differing << " of " << total << " pixels differ from " << referencePath(name)
                      << "; this run's image: " << actual;
    }
}

TEST(RendererReference, WindowWithLabelButtonsListAndBar) {
    Scene scene;
    expectMatchesReference("scene_button_focus");
}

TEST(RendererReference, FocusedListAndEditingField) {
    Scene scene;
    auto* field = new eTextInputField(scene.window.get());
    field->move(ePoint(10, 385));
    field->resize(eSize(300, 30));
    field->setText("Nick \xC3\xA9t\xC3\xA9");
    auto* other = new eTextInputField(scene.window.get());
    other->move(ePoint(10, 340));
    other->resize(eSize(300, 30));
    other->setText("Not editing");
    auto* combo = new eComboBox(scene.window.get());
    combo->move(ePoint(320, 340));
    combo->resize(eSize(180, 30));
    new eListBoxEntryText(combo->getList(), "English", 1);
    new eListBoxEntryText(combo->getList(), "Italiano", 3);
    combo->setCurrent(1);
    scene.window->setFocus(field);
    field->eventHandler(eWidgetEvent(eWidgetEvent::evtAction, &i_cursorActions->ok));  // enter edit mode
    ASSERT_TRUE(field->isEditing());
    expectMatchesReference("scene_editing_field");
    scene.window->setFocus(scene.list);
    expectMatchesReference("scene_list_focus");
}

TEST(RendererReference, WarningMessageBoxOverAWindow) {
    Scene scene;
    eMessageBox box("The server could not be reached.\nPlease try again later.", "Error",
                    eMessageBox::btOK | eMessageBox::iconWarning);
    box.show();
    expectMatchesReference("message_box_warning");
}

}  // namespace
