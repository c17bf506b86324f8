// The board's frame tick measured end to end on a real X server without a compositor: each
// iteration is one Timer1Timer call (restore, preview, repaint, shape update) followed by a wait
// until the X server has carried all of it out. The reported time is wall time; the CPU column is
// the board's own thread, and x_server_ms what the X server spent per tick.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <stdexcept>

#include "bench_board.h"
#include "platform/shape_mirror.h"
#include "platform/window_shape.h"

namespace {

std::unique_ptr<BenchBoard> g_board;

const QPoint kAnchor(120, 140);
// The frame timer's period as the window is designed.
constexpr int kPeriodMs = 25;
// The cursor sweeps the whole client area; consecutive ticks are 10 to 14 pixels apart.
const std::vector<QPoint> kSweep = ellipsePath({800, 620}, 720, 520, 360);
// A hand drawing a loop: about 5 pixels per tick.
const std::vector<QPoint> kStroke = ellipsePath({800, 600}, 600, 450, 600);

const char* pictureName(Picture p) {
    return p == Picture::Sparse ? "sparse" : p == Picture::Dense ? "dense" : "speckle";
}

// Counts the X server's CPU time over the timed loop.
class ServerClock {
public:
    ServerClock() : start_(xServerCpuNs()) {}
    void report(benchmark::State& st) const {
        const std::int64_t end = xServerCpuNs();
        if (start_ < 0 || end < 0) return;
        st.counters["x_server_ms"] =
            benchmark::Counter(double(end - start_) / 1e6, benchmark::Counter::kAvgIterations);
    }

private:
    std::int64_t start_;
};

std::int64_t processCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void tickAt(BenchBoard& b, QPoint client) {
    b.setCursor(client);
    b.form().Timer1Timer();
    b.finishFrame();
}

void startLine(BenchBoard& b) {
    DrawState& s = b.model().state;
    s.DrawTool = ToolLine;
    s.AnchorPoint = kAnchor;
    b.model().SaveUndo();
    s.DrawPhase = PhaseActive;
}

// (a) Nothing under way: the tick only reads the cursor and finds nothing to do.
void idleTick(benchmark::State& st, Picture picture) {
    BenchBoard& b = *g_board;
    b.reset(picture);
    size_t i = 0;
    ServerClock server;
    for (auto _ : st)
        tickAt(b, kSweep[i++ % kSweep.size()]);
    server.report(st);
}

// The board left alone with its frame timer running at the designed period, as a user's idle
// board runs: CPU time of the whole process and of the X server per second of wall time.
void idleSecond(benchmark::State& st, Picture picture) {
    BenchBoard& b = *g_board;
    b.reset(picture);
    b.useServerCursor(true);
    b.form().timer().start(kPeriodMs);
    ServerClock server;
    std::int64_t cpu = 0;
    for (auto _ : st) {
        const std::int64_t start = processCpuNs();
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        cpu += processCpuNs() - start;
    }
    b.form().timer().stop();
    b.useServerCursor(false);
    st.counters["board_cpu_ms"] =
        benchmark::Counter(double(cpu) / 1e6, benchmark::Counter::kAvgIterations);
    server.report(st);
}

// (b), (c) The line tool between its two Shift presses while the cursor moves.
void linePreviewTick(benchmark::State& st, Picture picture) {
    BenchBoard& b = *g_board;
    b.reset(picture);
    st.counters["picture_rects"] = b.shapeRectangles();
    startLine(b);
    tickAt(b, kSweep[0]);
    size_t i = 1;
    double rects = 0;
    ServerClock server;
    for (auto _ : st) {
        tickAt(b, kSweep[i++ % kSweep.size()]);
        rects += b.form().shape().lastRectangleCount();
    }
    server.report(st);
    st.counters["shape_rects"] = benchmark::Counter(rects, benchmark::Counter::kAvgIterations);
}

// (b') The same as (b) with an ordinary window beneath the board instead of the bare root. The
// window stays for the rest of the run (taking it away repaints the whole root), so these cases
// come last.
void linePreviewOverWindow(benchmark::State& st, Picture picture) {
    g_board->setUnderlay(true);
    linePreviewTick(st, picture);
}

// (c') The same as (c) at the timer's pace (25 ms) without waiting for the X server: the time
// is that of the tick alone, while the server works through reshapes in the background; changes
// that arrive meanwhile go out together with the next one.
void linePreviewPaced(benchmark::State& st, Picture picture) {
    using Clock = std::chrono::steady_clock;
    BenchBoard& b = *g_board;
    b.reset(picture);
    startLine(b);
    tickAt(b, kSweep[0]);
    const long before = b.form().shape().reshapeCount();
    size_t i = 1;
    double longest = 0;
    for (auto _ : st) {
        const auto start = Clock::now();
        b.setCursor(kSweep[i++ % kSweep.size()]);
        b.form().Timer1Timer();
        const double took = std::chrono::duration<double>(Clock::now() - start).count();
        st.SetIterationTime(took);
        longest = std::max(longest, took * 1e3);
        // The rest of the period goes to the event loop, as between two ticks of Timer1.
        QEventLoop loop;
        QTimer::singleShot(std::max(0, kPeriodMs - static_cast<int>(took * 1e3)), &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
    st.counters["reshapes_per_tick"] = benchmark::Counter(
        double(b.form().shape().reshapeCount() - before), benchmark::Counter::kAvgIterations);
    st.counters["longest_tick_ms"] = longest;
    b.finishFrame();
}

// (d) A freehand stroke: each tick draws and commits one segment.
void freehandTick(benchmark::State& st, Picture picture) {
    BenchBoard& b = *g_board;
    b.reset(picture);
    DrawState& s = b.model().state;
    s.DrawTool = ToolFreehand;
    s.AnchorPoint = kStroke[0];
    b.model().SaveUndo();
    s.FreehandActive = true;
    size_t i = 1;
    ServerClock server;
    for (auto _ : st)
        tickAt(b, kStroke[i++ % kStroke.size()]);
    server.report(st);
    s.FreehandActive = false;
}

// The line preview tick taken apart: the same steps as Timer1Timer, timed one by one.
void linePreviewStages(benchmark::State& st, Picture picture) {
    using Clock = std::chrono::steady_clock;
    BenchBoard& b = *g_board;
    b.reset(picture);
    startLine(b);
    tickAt(b, kSweep[0]);
    BoardModel& m = b.model();
    TForm1& form = b.form();
    const QRegion controls = form.alwaysShown();
    double restore = 0, preview = 0, repaint = 0, shape = 0, events = 0;
    auto ms = [](Clock::time_point a, Clock::time_point z) {
        return std::chrono::duration<double, std::milli>(z - a).count();
    };
    size_t i = 1;
    for (auto _ : st) {
        const QPoint c = kSweep[i++ % kSweep.size()];
        const auto t0 = Clock::now();
        m.stores.frameRestore();
        const auto t1 = Clock::now();
        m.DrawPreview(c);
        const auto t2 = Clock::now();
        const QRegion changed = m.stores.takePresentDamage();
        form.repaint(changed);
        b.roundTrip();
        const auto t3 = Clock::now();
        form.shape().update(m.surface().image(), TransparentKeyRgb, changed, controls);
        form.shape().sync();
        const auto t4 = Clock::now();
        b.finishFrame();
        const auto t5 = Clock::now();
        restore += ms(t0, t1);
        preview += ms(t1, t2);
        repaint += ms(t2, t3);
        shape += ms(t3, t4);
        events += ms(t4, t5);
    }
    using C = benchmark::Counter;
    st.counters["restore_ms"] = C(restore, C::kAvgIterations);
    st.counters["preview_ms"] = C(preview, C::kAvgIterations);
    st.counters["repaint_ms"] = C(repaint, C::kAvgIterations);
    st.counters["shape_ms"] = C(shape, C::kAvgIterations);
    st.counters["events_ms"] = C(events, C::kAvgIterations);
}

// The shape scan alone, without an X server: the mirror takes in one line preview tick's change.
void shapeScan(benchmark::State& st, Picture picture) {
    BenchBoard& b = *g_board;
    b.reset(picture);
    startLine(b);
    BoardModel& m = b.model();
    const QSize size = m.surface().image().size();
    m.tick(kSweep[10], kSweep[10]);
    m.stores.takePresentDamage();
    const QImage before = m.surface().image().copy();
    m.tick(kSweep[11], kSweep[11]);
    const QRegion area = m.stores.takePresentDamage();
    const QImage after = m.surface().image().copy();
    ShapeMirror mirror;
    mirror.reset(size);
    const int stride = (size.width() + 31) / 32 * 4;
    mirror.rebuild(before, TransparentKeyRgb, {}, stride, true);
    ShapeMirror::Change change;
    bool forth = true;
    double pixels = 0;
    for (const QRect& r : area)
        pixels += double(r.width()) * r.height();
    for (auto _ : st) {
        mirror.update(forth ? after : before, TransparentKeyRgb, area, {}, 30000, change);
        forth = !forth;
    }
    st.counters["area_px"] = pixels;
    st.counters["area_rects"] = area.rectCount();
    st.counters["shape_rects"] = double(change.size());
    b.form().present();
    b.finishFrame();
}

// (e) The whole shape sent at once, as when a native window is (re)attached or a dense shape
// comes back after the window has moved: a 1-bit mask of the whole board, up to the point where
// the X server has applied it.
void shapeFullSend(benchmark::State& st, Picture picture) {
    BenchBoard& b = *g_board;
    b.reset(picture);
    TForm1& form = b.form();
    WindowShape& shape = form.shape();
    const QRegion controls = form.alwaysShown();
    st.counters["picture_rects"] = b.shapeRectangles();
    ServerClock server;
    for (auto _ : st) {
        shape.attach(form.winId(), form.size(), WindowShape::Kind::Bounding);
        shape.update(b.model().surface().image(), TransparentKeyRgb, QRegion(), controls);
        shape.sync();
    }
    server.report(st);
    b.finishFrame();
}

// (f) The frame toggle and the tick after it. A dense shape is set aside for the window manager's
// reframe at the first toggle and comes back as in (e) once the hold has passed.
void frameToggle(benchmark::State& st, Picture picture) {
    BenchBoard& b = *g_board;
    b.reset(picture);
    TForm1& form = b.form();
    ServerClock server;
    for (auto _ : st) {
        form.Panel22Click();
        tickAt(b, kSweep[0]);
    }
    server.report(st);
    if (!form.frameShown()) form.Panel22Click();
    while (form.shape().simplified())
        tickAt(b, kSweep[0]);
}

// (g) The same line preview and freehand ticks with the committed and undo pictures covering a
// larger desktop: one 4K monitor (3840 × 2160) and two (7680 × 2160), side by side with the
// smallest stores. The client area and the cursor's path stay those of (b) and (d), so the changed
// area per tick is the same: a tick's cost must follow the change, not the stores. The first size
// is the stores the board started with (at least 1600 × 1200, and the X screen's size when that
// is larger). The stores never shrink, so this family runs last, smallest first.
// clang-format off
constexpr QSize kStoreSizes[] = {
    {0, 0},  // as started
    {3840, 2160},
    {7680, 2160},
};
// clang-format on

bool coverStores(benchmark::State& st, int index) {
    ImageStores& stores = g_board->model().stores;
    if (index > 0) stores.coverDesktop(kStoreSizes[index]);
    const QSize size = stores.storeSize();
    st.SetLabel("stores " + std::to_string(size.width()) + "x" + std::to_string(size.height()));
    if (index == 0 || size == kStoreSizes[index]) return true;
    st.SkipWithError("the stores are already larger: run this family smallest first");
    return false;
}

void linePreviewAtStoreSize(benchmark::State& st, int index) {
    if (coverStores(st, index)) linePreviewTick(st, Picture::Sparse);
}

void freehandAtStoreSize(benchmark::State& st, int index) {
    if (coverStores(st, index)) freehandTick(st, Picture::Sparse);
}

void add(const char* kind, void (*fn)(benchmark::State&, Picture), Picture picture,
         benchmark::TimeUnit unit, const char* suffix = "") {
    const std::string name = std::string("tick/") + kind + "/" + pictureName(picture) + suffix;
    benchmark::RegisterBenchmark(name.c_str(), fn, picture)
        ->UseRealTime()
        ->Unit(unit)
        ->MinTime(picture == Picture::Sparse ? 0.5 : 1.0)
        ->Repetitions(5)
        ->DisplayAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    try {
        g_board = std::make_unique<BenchBoard>();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_tick: %s\n", e.what());
        return 1;
    }
    benchmark::AddCustomContext("client_area", "1600x1200");
    benchmark::AddCustomContext("qpa", QGuiApplication::platformName().toStdString());

    using benchmark::kMicrosecond;
    using benchmark::kMillisecond;
    add("idle", idleTick, Picture::Sparse, kMicrosecond);
    add("idle", idleTick, Picture::Dense, kMicrosecond);
    benchmark::RegisterBenchmark("board/idle_second/sparse", idleSecond, Picture::Sparse)
        ->UseRealTime()
        ->Unit(kMillisecond)
        ->Iterations(3)
        ->Repetitions(3)
        ->DisplayAggregatesOnly(true);
    add("line_preview", linePreviewTick, Picture::Sparse, kMicrosecond);
    add("line_preview", linePreviewTick, Picture::Dense, kMillisecond);
    add("shape_scan", shapeScan, Picture::Sparse, kMicrosecond);
    for (Picture p : {Picture::Sparse, Picture::Dense})
        benchmark::RegisterBenchmark(
            (std::string("tick/line_preview/") + pictureName(p) + "_paced").c_str(),
            linePreviewPaced, p)
            ->UseManualTime()
            ->Unit(kMicrosecond)
            ->Iterations(80)
            ->Repetitions(5)
            ->DisplayAggregatesOnly(true);
    add("freehand", freehandTick, Picture::Sparse, kMicrosecond);
    add("line_preview_stages", linePreviewStages, Picture::Sparse, kMicrosecond);
    add("line_preview_stages", linePreviewStages, Picture::Dense, kMillisecond);
    add("shape_full_send", shapeFullSend, Picture::Sparse, kMillisecond);
    add("shape_full_send", shapeFullSend, Picture::Dense, kMillisecond);
    add("shape_full_send", shapeFullSend, Picture::Speckle, kMillisecond);
    add("frame_toggle", frameToggle, Picture::Sparse, kMillisecond);
    add("frame_toggle", frameToggle, Picture::Dense, kMillisecond);
    add("frame_toggle", frameToggle, Picture::Speckle, kMillisecond);
    add("line_preview", linePreviewOverWindow, Picture::Sparse, kMicrosecond, "_over_window");
    add("line_preview", linePreviewOverWindow, Picture::Dense, kMillisecond, "_over_window");
    for (int i = 0; i < 3; ++i) {
        const std::string size = i == 0 ? std::string("/stores_as_started")
                                        : "/stores_" + std::to_string(kStoreSizes[i].width()) +
                                              "x" + std::to_string(kStoreSizes[i].height());
        using Case = void (*)(benchmark::State&, int);
        const std::pair<const char*, Case> cases[] = {{"line_preview", linePreviewAtStoreSize},
                                                      {"freehand", freehandAtStoreSize}};
        for (auto [kind, fn] : cases)
            benchmark::RegisterBenchmark(("tick/" + std::string(kind) + "/sparse" + size).c_str(),
                                         fn, i)
                ->UseRealTime()
                ->Unit(kMicrosecond)
                ->MinTime(0.5)
                ->Repetitions(5)
                ->DisplayAggregatesOnly(true);
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_board.reset();
    return 0;
}
