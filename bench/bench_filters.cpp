// The extension tools and the flood fill on a whole board, at three board sizes side by side:
// 1600 × 1200, one 4K monitor (3840 × 2160) and two of them (7680 × 2160). Each pixel filter
// alone over the picture (with a progress callback as cheap as it can be), each of the dialog's
// runs as the user starts it (restore, passes, progress bar, commit and selection frame, on a
// shown board window), and a fill of the whole empty board. Runs on whatever Qt platform is
// chosen (offscreen when none is); on a real X server the progress bar's repaints reach the server.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QProgressBar>
#include <memory>
#include <random>

#include "dialogs/extension_tools/pixel_filters.h"
#include "dialogs/extension_tools/tform2.h"
#include "fake_platform.h"
#include "window/tform1.h"

namespace {

// clang-format off
constexpr QSize kBoards[] = {
    {1600, 1200},  // the smallest board, and the whole board of a desktop that fits in it
    {3840, 2160},  // one 4K monitor
    {7680, 2160},  // two 4K monitors side by side
};
// clang-format on

std::string sizeName(QSize s) {
    return std::to_string(s.width()) + "x" + std::to_string(s.height());
}

// Noise with one pixel in four see-through: the key test cannot be predicted.
void fillPicture(QImage& image) {
    std::mt19937 rng(11);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const unsigned r = rng();
            line[x] = (r >> 30) == 0 ? TransparentKeyRgb : 0xff000000u | (r & 0xffffffu);
        }
    }
}

using Filter = void (*)(filters::Target, const filters::Progress&);

// clang-format off
const std::pair<const char*, Filter> kFilters[] = {
    {"exchange",   [](filters::Target t, const filters::Progress& p) { filters::ExchangeColour(t, 0x0000ff, 0xffffff, p); }},
    {"shift",      [](filters::Target t, const filters::Progress& p) { filters::Shift(t, 37, -21, p); }},
    {"negative",   [](filters::Target t, const filters::Progress& p) { filters::Negative(t, p); }},
    {"brightness", [](filters::Target t, const filters::Progress& p) { filters::Brightness(t, 40, p); }},
    {"contrast",   [](filters::Target t, const filters::Progress& p) { filters::Contrast(t, 50, p); }},
};
// clang-format on

void BM_Filter(benchmark::State& state) {
    const auto& [name, filter] = kFilters[state.range(0)];
    const QSize board = kBoards[state.range(1)];
    state.SetLabel(std::string(name) + " " + sizeName(board));
    QImage image(board, QImage::Format_RGB32);
    fillPicture(image);
    // The board's reachable area: everything below the toolbar.
    const QRegion reachable = QRegion(image.rect()).subtracted(QRect(0, 0, board.width(), 33));
    int last = 0;
    for (auto _ : state) {
        filter({image, image.rect(), reachable}, [&last](int v) { last = v; });
        benchmark::DoNotOptimize(last);
    }
    state.SetItemsProcessed(state.iterations() * board.width() * board.height());
}
BENCHMARK(BM_Filter)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 4, 1), {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

// A fill of the whole empty board with the pen colour, as the fill tool's click on a see-through
// board does: every pixel is read and written once.
void BM_FloodFillWholeBoard(benchmark::State& state) {
    const QSize board = kBoards[state.range(0)];
    state.SetLabel(sizeName(board));
    Canvas canvas;
    canvas.setBrushColor(TransparentKey);
    canvas.setSize(board.width(), board.height());
    const TColor colours[] = {0x0000ff, TransparentKey};
    int i = 0;
    for (auto _ : state) {
        // Fill with red, then back with the key colour: each pass covers the whole board.
        const TColor from = colours[(i + 1) % 2];
        canvas.setBrushColor(colours[i % 2]);
        canvas.floodFill({board.width() / 2, board.height() / 2}, from);
        canvas.takeDamage();
        ++i;
    }
    state.SetItemsProcessed(state.iterations() * board.width() * board.height());
}
BENCHMARK(BM_FloodFillWholeBoard)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

struct DialogBoard {
    FakePlatform platform;
    TForm1 form{platform, {}};
    explicit DialogBoard(QSize board) {
        form.timer().stop();
        form.model().stores.coverDesktop(board);
        form.show();
        form.resize(board);
        QApplication::processEvents();
        Canvas& surface = form.model().surface();
        fillPicture(surface.imageForWrite());
        surface.addDamage(surface.rect());
        form.model().stb();
        form.SpeedButton26Click();
        QApplication::processEvents();
    }
};

std::unique_ptr<DialogBoard> g_dialog;
int g_dialogSize = -1;

// clang-format off
const std::pair<const char*, void (TForm2::*)()> kRuns[] = {
    {"exchange (交換)",         &TForm2::Button2Click},
    {"shift (ずらし)",          &TForm2::Button3Click},
    {"negative (反転)",         &TForm2::Button4Click},
    {"brightness (明るさ)",     &TForm2::Button5Click},
    {"contrast (コントラスト)", &TForm2::Button6Click},
};
// clang-format on

void BM_DialogRun(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    if (g_dialogSize != size) {
        // The stores never shrink: each size gets a board of its own.
        g_dialog.reset();
        g_dialog = std::make_unique<DialogBoard>(kBoards[size]);
        g_dialogSize = size;
    }
    TForm2& dialog = g_dialog->form.form2();
    const auto& [name, run] = kRuns[state.range(1)];
    state.SetLabel(std::string(name) + " " + sizeName(kBoards[size]));
    dialog.sdse_x->setValue(37);
    dialog.sdse_y->setValue(-21);
    dialog.aksevalue->setValue(40);
    dialog.ctsev->setValue(50);
    int repaints = 0;
    dialog.onProgress = [&repaints](int, bool repainted) { repaints += repainted; };
    for (auto _ : state) {
        (dialog.*run)();
        QApplication::processEvents();  // what the run left for the event loop
    }
    state.counters["bar_repaints"] =
        benchmark::Counter(repaints, benchmark::Counter::kAvgIterations);
    const QSize client = g_dialog->form.model().surface().image().size();
    state.counters["client_px"] = client.width() * client.height();
}
BENCHMARK(BM_DialogRun)
    ->ArgsProduct({{0, 1, 2}, benchmark::CreateDenseRange(0, 4, 1)})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_dialog.reset();
    benchmark::Shutdown();
    return 0;
}
