// The widget tree: ownership, geometry of frame and client area, visibility
// and the registry of top-level windows.
#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include "emu/screen.h"
#include "host/ewidget.h"

namespace {

class CountedWidget : public eWidget {
public:
    CountedWidget(eWidget* parent, int* destroyed) : eWidget(parent), destroyed(destroyed) {}
    ~CountedWidget() override { ++*destroyed; }
private:
    int* destroyed;
};

bool registered(eWidget* w) {
    const auto& all = emu::topLevelWindows();
    return std::find(all.begin(), all.end(), w) != all.end();
}

TEST(WidgetTree, ParentDeletesItsChildrenAndGrandchildren) {
    int destroyed = 0;
    {
        eWindow window;
        auto* box = new CountedWidget(&window, &destroyed);
        new CountedWidget(box, &destroyed);
        new CountedWidget(&window, &destroyed);
        EXPECT_EQ(window.getChildren().size(), 2u);
        EXPECT_EQ(box->getChildren().size(), 1u);
    }
    EXPECT_EQ(destroyed, 3);
}

TEST(WidgetTree, DeletingAChildUnlinksItFromItsParent) {
    int destroyed = 0;
    eWindow window;
    auto* child = new CountedWidget(&window, &destroyed);
    window.setFocus(child);
    delete child;
    EXPECT_TRUE(window.getChildren().empty());
    EXPECT_EQ(window.getFocus(), nullptr) << "no dangling focus";
}

TEST(WidgetTree, WindowClientAreaSitsInsideTheFrame) {
    eWindow window;
    window.cmove(ePoint(100, 100));
    window.cresize(eSize(520, 400));
    eRect client = window.getClientRect();
    EXPECT_EQ(window.getClientSize(), eSize(520, 400));
    EXPECT_EQ(window.getAbsoluteClientPosition(), ePoint(100, 100));
    EXPECT_EQ(window.getPosition(), ePoint(100 - client.x, 100 - client.y));
    EXPECT_GT(client.y, client.x) << "a title bar above, a thin border around";
    EXPECT_EQ(window.getSize().w, 520 + 2 * client.x);

    // move/resize set the outer frame; the client area follows.
    window.move(ePoint(70, 60));
    window.resize(eSize(595, 450));
    EXPECT_EQ(window.getClientSize(), eSize(595 - 2 * client.x, 450 - client.y - client.x));
    EXPECT_EQ(window.getAbsoluteClientPosition(), ePoint(70 + client.x, 60 + client.y));
}

TEST(WidgetTree, ChildPositionsAreRelativeToTheParentClientArea) {
    eWindow window;
    window.cmove(ePoint(100, 100));
    auto* area = new eWidget(&window);
    area->move(ePoint(10, 5));
    area->resize(eSize(300, 200));
    auto* label = new eLabel(area);
    label->move(ePoint(0, -48));
    eRect client = area->getClientRect();
    EXPECT_EQ(ePoint(client.x, client.y), ePoint(0, 0)) << "plain widgets have no frame";
    EXPECT_EQ(eSize(client.w, client.h), eSize(300, 200));
    EXPECT_EQ(label->getAbsolutePosition(), ePoint(110, 57));
}

TEST(WidgetTree, WindowsStartHiddenChildrenStartVisible) {
    eWindow window;
    auto* area = new eWidget(&window);
    auto* label = new eLabel(area);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(label->isVisible());
    EXPECT_FALSE(label->isShown()) << "its window is hidden";
    window.show();
    EXPECT_TRUE(label->isShown());
    area->hide();
    EXPECT_TRUE(label->isVisible());
    EXPECT_FALSE(label->isShown());
}

TEST(WidgetTree, TopLevelWindowsRegisterInConstructionOrderUntilDestroyed) {
    auto first = std::make_unique<eWindow>();
    eWindow second;
    auto* child = new eLabel(&second);
    const auto& all = emu::topLevelWindows();
    auto at = [&](eWidget* w) { return std::find(all.begin(), all.end(), w) - all.begin(); };
    EXPECT_LT(at(first.get()), at(&second));
    EXPECT_FALSE(registered(child));
    eWidget* gone = first.get();
    first.reset();
    EXPECT_FALSE(registered(gone));
    EXPECT_TRUE(registered(&second));
}

}  // namespace
