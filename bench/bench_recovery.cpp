// What keeping the recovery file costs the UI thread. A save period copies the whole committed
// store (also what lies outside the window) and hands it to a worker thread; the frame tick
// itself never waits for a write. Runs on Qt's offscreen platform: `build/bench/bench_recovery`.
//  - period: the UI thread's part of one save period, for a picture that changed;
//  - tick: a freehand tick, alone and while a worker writes the picture over and over;
//  - write: one whole background write, for scale.
#include <benchmark/benchmark.h>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <atomic>
#include <thread>

#include "fake_platform.h"
#include "picture/picture_recovery.h"
#include "platform/bitmap_file.h"

namespace {

// The board's designed client area.
const QSize kClient(892, 453);

// As the board hands it over: the whole store, not only the window's part, shared.
QImage committedOf(TestBoard& board) {
    return board.model.stores.buffer().image();
}

void BM_SavePeriod(benchmark::State& state) {
    QTemporaryDir dir;
    FakePlatform platform;
    TestBoard board(kClient);
    PictureRecovery recovery(dir.path(), platform, [&] { return committedOf(board); });
    recovery.start(1 << 30);
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        recovery.finishWrite();  // so every period starts a write
        board.surface().setPixel(1 + i++ % 800, 10, 0);
        board.model.stb();
        state.ResumeTiming();
        recovery.period();
    }
    recovery.finishWrite();
}
BENCHMARK(BM_SavePeriod)->Unit(benchmark::kMicrosecond);

// A period of a board where nothing was committed since the last save: what an idle board pays
// every 3 s.
void BM_UnchangedPeriod(benchmark::State& state) {
    QTemporaryDir dir;
    FakePlatform platform;
    TestBoard board(kClient);
    PictureRecovery recovery(dir.path(), platform, [&] { return committedOf(board); });
    recovery.start(1 << 30);
    for (auto _ : state)
        recovery.period();
    recovery.finishWrite();
}
BENCHMARK(BM_UnchangedPeriod)->Unit(benchmark::kMicrosecond);

void BM_FreehandTick(benchmark::State& state) {
    const bool writing = state.range(0) != 0;
    QTemporaryDir dir;
    TestBoard board(kClient);
    const QImage picture = committedOf(board).copy();
    std::atomic<bool> stop{false};
    std::thread writer;
    if (writing) {
        writer = std::thread([&] {
            while (!stop)
                bitmap_file::write(dir.filePath(QStringLiteral("p.bmp")), picture);
        });
    }
    board.model.keyDown(VK_SHIFT, {100, 100});
    int i = 0;
    for (auto _ : state) {
        const QPoint c(100 + (i * 5) % 600, 100 + (i * 3) % 300);
        ++i;
        board.model.tick(c, c);
    }
    stop = true;
    if (writer.joinable()) writer.join();
    state.SetLabel(writing ? "while a recovery write runs" : "alone");
}
BENCHMARK(BM_FreehandTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_BackgroundWrite(benchmark::State& state) {
    QTemporaryDir dir;
    TestBoard board(kClient);
    const QImage picture = committedOf(board);
    for (auto _ : state)
        bitmap_file::write(dir.filePath(QStringLiteral("p.bmp")), picture);
}
BENCHMARK(BM_BackgroundWrite)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
