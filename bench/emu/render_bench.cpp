// Text layout of a long article and full repaints of the emulated screen.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "emu/screen.h"
#include "emu/text_engine.h"
#include "host/ewidget.h"

namespace {

const gFont kFont("DejaVu Sans", 20);

// About 64 KB of article text: words of varied length, some accented
// letters, a paragraph break now and then.
std::string article() {
    static const char* words[] = {"news", "satellite", "receiver", "community", "download", "the", "a",
                                  "\xC3\xA9t\xC3\xA9", "citt\xC3\xA0", "programme", "firmware", "of",
                                  "channel", "transponder", "\xE2\x82\xAC" "10"};
    std::string text;
    unsigned seed = 7;
    while (text.size() < 64 * 1024) {
        seed = seed * 1103515245u + 12345u;
        text += words[(seed >> 16) % (sizeof words / sizeof *words)];
        text += (seed >> 8) % 41 == 0 ? "\n\n" : " ";
    }
    return text;
}

void LayoutArticleWrapped(benchmark::State& state) {
    emu::initFonts();
    const std::string text = article();
    for (auto _ : state) benchmark::DoNotOptimize(emu::layoutText(kFont, text, 500));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(LayoutArticleWrapped)->Unit(benchmark::kMillisecond);

void ExtentOfArticle(benchmark::State& state) {
    emu::initFonts();
    const std::string text = article();
    for (auto _ : state) benchmark::DoNotOptimize(emu::textExtent(kFont, text, 500));
}
BENCHMARK(ExtentOfArticle)->Unit(benchmark::kMillisecond);

// The main menu's shape: a window, a logo, seven buttons with key badges.
void RenderMenuScreen(benchmark::State& state) {
    emu::initFonts();
    eWindow window(1);
    window.setText("Daily News");
    window.cmove(ePoint(100, 100));
    window.cresize(eSize(520, 400));
    auto* logo = new eLabel(&window);
    logo->resize(eSize(520, 125));
    logo->setBlitFlags(1);
    logo->setProperty("align", "center");
    auto pixmap = std::make_shared<gPixmap>(400, 100);
    for (size_t i = 0; i < pixmap->pixels.size(); ++i) pixmap->pixels[i] = static_cast<uint8_t>(i * 31);
    logo->setPixmap(pixmap);
    for (int i = 1; i <= 7; ++i) {
        auto* button = new eButton(&window);
        button->move(ePoint(35, 108 + 32 * i));
        button->resize(eSize(450, 30));
        button->setShortcutPixmap(std::to_string(i));
        button->setText("Menu entry " + std::to_string(i));
        if (i == 1) window.setFocus(button);
    }
    window.show();
    for (auto _ : state) emu::renderScreen();
}
BENCHMARK(RenderMenuScreen)->Unit(benchmark::kMillisecond);

// The article view: a 64 KB wrapped label scrolled inside a clipping widget.
void RenderArticleScreen(benchmark::State& state) {
    emu::initFonts();
    eWindow window(0);
    window.setText("Article");
    window.cmove(ePoint(40, 60));
    window.cresize(eSize(640, 460));
    auto* clip = new eWidget(&window);
    clip->move(ePoint(10, 10));
    clip->resize(eSize(590, 440));
    auto* label = new eLabel(clip, eLabel::flagWrap);
    label->resize(eSize(590, 100000));
    label->move(ePoint(0, -4400));
    label->setText(article());
    auto* bar = new eProgress(&window);
    bar->direction = 1;
    bar->move(ePoint(610, 10));
    bar->resize(eSize(16, 440));
    bar->setParams(10, 5);
    window.show();
    for (auto _ : state) emu::renderScreen();
}
BENCHMARK(RenderArticleScreen)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
