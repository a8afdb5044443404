// Modal runs: close codes, nesting, the exec stack and each window keeping
// its own focus.
#include <gtest/gtest.h>
#include <memory>
#include "emu/screen.h"
#include "host/ewidget.h"
#include "modal_script.h"

namespace {

// Accept is 0, reject and exit are -1.
TEST(ModalRun, ExecReturnsTheCloseCodeAndLeavesTheStack) {
    eWindow window;
    window.show();
    const std::pair<ModalScript::Step, int> cases[] = {
        {[&] { window.close(42); }, 42}, {[&] { window.accept(); }, 0},
        {[&] { window.reject(); }, -1}, {press("exit"), -1}};
    const ModalScript::Step running = [&] {
        EXPECT_TRUE(window.isRunning());
        EXPECT_EQ(emu::execStack(), std::vector<eWidget*>{&window});
    };
    for (const auto& [step, code] : cases) {
        ModalScript script({running, step});
        EXPECT_EQ(window.exec(), code);
        EXPECT_FALSE(window.isRunning());
        EXPECT_TRUE(emu::execStack().empty());
    }
}

TEST(ModalRun, ThreeLevelsNestAndEachGetsItsOwnCode) {
    eWindow outer, middle, inner;
    std::vector<std::string> order;
    int middleResult = 0, innerResult = 0;
    ModalScript script({
        [&] {
            middleResult = middle.exec();
            order.push_back("middle returned");
        },
        [&] {
            innerResult = inner.exec();
            order.push_back("inner returned");
        },
        [&] {
            EXPECT_EQ(emu::execStack(), (std::vector<eWidget*>{&outer, &middle, &inner}));
            inner.close(3);
        },
        [&] {
            EXPECT_EQ(emu::execStack().back(), &middle);
            middle.close(2);
        },
        [&] { outer.close(1); },
    });
    EXPECT_EQ(outer.exec(), 1);
    EXPECT_EQ(middleResult, 2);
    EXPECT_EQ(innerResult, 3);
    EXPECT_EQ(order, (std::vector<std::string>{"inner returned", "middle returned"}));
    EXPECT_TRUE(script.finished());
}

TEST(ModalRun, ClosingAnOuterWindowEndsItOnlyAfterTheInnerOneReturns) {
    eWindow outer, inner;
    std::vector<std::string> order;
    ModalScript script({
        [&] {
            inner.exec();
            order.push_back("inner returned");
        },
        [&] {
            outer.close(7);
            order.push_back("outer closed");
            EXPECT_EQ(emu::execStack().back(), &inner) << "the inner window still takes the keys";
        },
        [&] { inner.close(0); },
    });
    EXPECT_EQ(outer.exec(), 7);
    EXPECT_EQ(order, (std::vector<std::string>{"outer closed", "inner returned"}));
}

TEST(ModalRun, WindowDestroyedDuringItsOwnRunEndsTheRunSafely) {
    auto window = std::make_unique<eWindow>();
    eWindow* raw = window.get();
    ModalScript script({[&] { window.reset(); }});
    EXPECT_EQ(raw->exec(), -1);  // raw is gone after exec; exec itself touched nothing of it
    EXPECT_TRUE(emu::execStack().empty());
}

TEST(ModalRun, SecondExecOfARunningWindowReturnsAtOnce) {
    eWindow window;
    int nested = 0;
    ModalScript script({[&] { nested = window.exec(); }, [&] { window.close(4); }});
    EXPECT_EQ(window.exec(), 4);
    EXPECT_EQ(nested, -1);
    EXPECT_TRUE(emu::execStack().empty());
}

TEST(ModalRun, WindowWithoutFocusStartsAtItsFirstControl) {
    eWindow window;
    new eLabel(&window);
    int presses = 0;
    addButton(&window, 10, &presses);
    addButton(&window, 50);
    ModalScript script({press("ok"), [&] { window.close(0); }});
    window.exec();
    EXPECT_EQ(presses, 1);
}

TEST(ModalRun, FocusOfTheOuterWindowIsAsItWasAfterTheInnerCloses) {
    eWindow outer, inner;
    outer.show();
    addButton(&outer, 10);
    eButton* second = addButton(&outer, 50);
    eButton* innerFirst = addButton(&inner, 10);
    eButton* innerSecond = addButton(&inner, 50);
    outer.setFocus(second);
    inner.setFocus(innerFirst);
    eWidget* outerFocusAfter = nullptr;
    ModalScript script({
        [&] {
            inner.show();
            inner.exec();
            inner.hide();
            outerFocusAfter = outer.getFocus();
        },
        press("down"),
        [&] {
            EXPECT_EQ(inner.getFocus(), innerSecond);
            EXPECT_EQ(outer.getFocus(), second) << "the inner window's keys move its own focus only";
        },
        press("exit"),
        [&] { outer.accept(); },
    });
    outer.exec();
    EXPECT_EQ(outerFocusAfter, second);
}

}  // namespace
