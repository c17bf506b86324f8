// The extension tools on a whole 1600 × 1200 board: each pixel filter alone over the picture
// (with a progress callback as cheap as it can be), and each of the dialog's runs as the user
// starts it: restore, passes, progress bar, commit and selection frame, on a shown board window.
// Runs on whatever Qt platform is chosen (offscreen when none is); on a real X server the
// progress bar's repaints reach the server.
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

constexpr QSize kBoard(1600, 1200);

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
    state.SetLabel(name);
    QImage image(kBoard, QImage::Format_RGB32);
    fillPicture(image);
    // The board's reachable area: everything below the toolbar.
    const QRegion reachable = QRegion(image.rect()).subtracted(QRect(0, 0, kBoard.width(), 33));
    int last = 0;
    for (auto _ : state) {
        filter({image, image.rect(), reachable}, [&last](int v) { last = v; });
        benchmark::DoNotOptimize(last);
    }
    state.SetItemsProcessed(state.iterations() * kBoard.width() * kBoard.height());
}
BENCHMARK(BM_Filter)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

struct DialogBoard {
    FakePlatform platform;
    TForm1 form{platform, {}};
    DialogBoard() {
        form.timer().stop();
        form.show();
        form.resize(kBoard);
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
    if (!g_dialog) g_dialog = std::make_unique<DialogBoard>();
    TForm2& dialog = g_dialog->form.form2();
    const auto& [name, run] = kRuns[state.range(0)];
    state.SetLabel(name);
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
BENCHMARK(BM_DialogRun)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

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
