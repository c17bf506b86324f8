// Start-up of the real executable on the X server named by DISPLAY (no window manager, no
// compositor): the time from starting the process until the board's first frame is on the
// screen, and the resident memory of the started board. Each iteration starts `velmo` in a
// fresh folder, watches one pixel of the toolbar through the X server until it shows the
// toolbar's face, reads the process's resident set, and ends the process.
// The board's pictures cover the desktop, so each case also names a desktop: the X screen's
// RandR monitors are set to one 1600 × 1200 monitor, one 4K monitor or two 4K monitors side by
// side before the case starts (the X screen must be at least 7680 × 2160 for the last).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A point of the toolbar's system group below its buttons: the first thing the board shows
// (the rest of its client area is see-through). The board starts at the screen's top-left.
constexpr int kProbeX = 50;
constexpr int kProbeY = 30;
constexpr std::uint32_t kRootColour = 0xff00ff;  // a colour the board never shows there
constexpr auto kTimeout = std::chrono::seconds(20);

class XServer {
public:
    XServer() {
        c_ = xcb_connect(nullptr, nullptr);
        if (const int error = xcb_connection_has_error(c_))
            throw std::runtime_error("cannot connect to the X server in DISPLAY: error " +
                                     std::to_string(error));
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        const std::uint32_t colour = kRootColour;
        xcb_change_window_attributes(c_, root_, XCB_CW_BACK_PIXEL, &colour);
        xcb_clear_area(c_, 0, root_, 0, 0, 0, 0);
        free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    }
    ~XServer() { xcb_disconnect(c_); }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // What the screen shows at the probe point.
    std::uint32_t probe() {
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            c_, xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, kProbeX, kProbeY, 1, 1, ~0u),
            nullptr);
        if (!reply) throw std::runtime_error("GetImage failed");
        std::uint32_t pixel = 0;
        const std::uint8_t* data = xcb_get_image_data(reply);
        for (int i = 0; i < 3; ++i)
            pixel |= std::uint32_t(data[i]) << (8 * i);
        free(reply);
        return pixel;
    }

    // Polls the probe about every half millisecond until `done` holds for its pixel.
    template <typename Condition>
    std::uint32_t waitFor(Condition done) {
        const auto deadline = Clock::now() + kTimeout;
        for (;;) {
            const std::uint32_t pixel = probe();
            if (done(pixel)) return pixel;
            if (Clock::now() > deadline) throw std::runtime_error("timed out watching the screen");
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }

private:
    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = 0;
};

// A folder of its own for one case, with or without a settings file and a picture.
class StartFolder {
public:
    StartFolder(bool withSettings, bool withPicture) {
        char pattern[] = "/tmp/velmo-bench-XXXXXX";
        if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
        if (withSettings) writeSettings();
        if (withPicture) writePicture();
    }
    ~StartFolder() {
        std::remove((dir_ + "/config.ini").c_str());
        std::remove(picture().c_str());
        std::system(("rm -rf '" + dir_ + "/state'").c_str());
        rmdir(dir_.c_str());
    }
    StartFolder(const StartFolder&) = delete;
    StartFolder& operator=(const StartFolder&) = delete;

    const std::string& dir() const { return dir_; }
    std::string picture() const { return dir_ + "/picture.bmp"; }

private:
    // Every key the board writes, with the board where it starts without one.
    void writeSettings() const {
        std::ofstream(dir_ + "/config.ini")
            << "[form1]\r\nborder=1\r\nalphablend=0\r\nstayontop=0\r\ntoolber=1\r\n"
               "width=892\r\nheight=453\r\nleft=0\r\ntop=0\r\n"
               "[preview]\r\nframerate=25\r\n"
               "[confirm]\r\nonEraseAll=1\r\nonExitMenu=0\r\nonExitBox=0\r\n"
               "[stump]\r\ncontinuous=0\r\n[paste]\r\ntransparent=1\r\n"
               "[floodfill]\r\natonce=0\r\n";
    }

    // A 1600 × 1200 24-bit bitmap of noise: nothing in it compresses or repeats.
    void writePicture() const {
        constexpr std::uint32_t w = 1600, h = 1200, stride = w * 3, size = stride * h;
        std::vector<std::uint8_t> file(54 + size);
        auto put = [&file](std::size_t at, std::uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                file[at + i] = std::uint8_t(v >> (8 * i));
        };
        file[0] = 'B';
        file[1] = 'M';
        put(2, 54 + size, 4);
        put(10, 54, 4);
        put(14, 40, 4);
        put(18, w, 4);
        put(22, h, 4);
        put(26, 1, 2);
        put(28, 24, 2);
        put(34, size, 4);
        std::mt19937 random(42);
        for (std::size_t i = 54; i < file.size(); ++i)
            file[i] = std::uint8_t(random());
        std::ofstream(picture(), std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    }

    std::string dir_;
};

pid_t startBoard(const std::string& dir, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    std::string exe = VELMO_EXECUTABLE;
    argv.push_back(exe.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(127);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 1);
        dup2(null, 2);
        if (chdir(dir.c_str()) != 0) _exit(127);
        // For comparison: the board without transparent huge pages.
        if (getenv("VELMO_BENCH_NO_HUGE_PAGES")) prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        // A state folder of its own: a recovery file left by an earlier board would be taken
        // over at start, and measured as part of it.
        setenv("XDG_STATE_HOME", (dir + "/state").c_str(), 1);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

void endBoard(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
}

// Resident memory of a process in MiB.
double residentMiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    }
    return -1;
}

// clang-format off
struct Desktop {
    const char* name;
    const char* monitors;  // arguments of one `xrandr --setmonitor` each, ';' between monitors
};
const Desktop kDesktops[] = {
    {"1600x1200", "VELMO_A 1600/423x1200/317+0+0 screen"},
    {"3840x2160", "VELMO_A 3840/1016x2160/572+0+0 screen"},
    {"7680x2160", "VELMO_A 3840/1016x2160/572+0+0 screen;VELMO_B 3840/1016x2160/572+3840+0 none"},
};
// clang-format on

// Makes the X screen's monitors those of `desktop`: what the board takes for its screens.
bool setDesktop(const Desktop& desktop) {
    std::string all = desktop.monitors;
    // Set afresh: a monitor may not take an output that another of ours already holds.
    for (const char* name : {"VELMO_A", "VELMO_B"})
        if (std::system((std::string("xrandr --delmonitor ") + name + " >/dev/null 2>&1").c_str()) <
            0)
            return false;
    std::size_t from = 0;
    while (from <= all.size()) {
        const std::size_t to = std::min(all.find(';', from), all.size());
        const std::string command =
            "xrandr --setmonitor " + all.substr(from, to - from) + " >/dev/null";
        if (std::system(command.c_str()) != 0) return false;
        from = to + 1;
    }
    return true;
}

// One connection for the whole run: an X server started without -noreset resets itself when
// its last client leaves.
XServer& xServer() {
    static XServer x;
    return x;
}

// The colour of the toolbar at the probe, learnt once from a board left to settle.
std::uint32_t toolbarFace(XServer& x) {
    static std::uint32_t face = [&x] {
        StartFolder folder(false, false);
        x.waitFor([](std::uint32_t p) { return p == kRootColour; });
        const pid_t pid = startBoard(folder.dir(), {});
        x.waitFor([](std::uint32_t p) { return p != kRootColour; });
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const std::uint32_t settled = x.probe();
        endBoard(pid);
        return settled;
    }();
    return face;
}

// Arguments: the desktop (kDesktops); whether a settings file is in the start folder; whether a
// 1600 × 1200 picture is named on the command line.
void BM_StartToFirstFrame(benchmark::State& state) {
    const Desktop& desktop = kDesktops[state.range(0)];
    const bool withSettings = state.range(1) != 0;
    const bool withPicture = state.range(2) != 0;
    state.SetLabel(desktop.name);
    // Connected first: the monitors set would go with a server reset when no client is left.
    XServer& x = xServer();
    if (!setDesktop(desktop)) {
        state.SkipWithError("xrandr could not set the monitors (is the X screen large enough?)");
        return;
    }
    const std::uint32_t face = toolbarFace(x);
    StartFolder folder(withSettings, withPicture);
    std::vector<std::string> args;
    if (withPicture) args.push_back(folder.picture());
    double firstFrameMiB = 0, settledMiB = 0;
    for (auto _ : state) {
        x.waitFor([](std::uint32_t p) { return p == kRootColour; });  // the last board is gone
        const auto start = Clock::now();
        const pid_t pid = startBoard(folder.dir(), args);
        x.waitFor([face](std::uint32_t p) { return p == face; });
        const auto shown = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
        firstFrameMiB += residentMiB(pid);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        settledMiB += residentMiB(pid);
        endBoard(pid);
    }
    state.counters["rss_first_frame_MiB"] =
        benchmark::Counter(firstFrameMiB, benchmark::Counter::kAvgIterations);
    state.counters["rss_settled_MiB"] =
        benchmark::Counter(settledMiB, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_StartToFirstFrame)
    ->ArgNames({"desktop", "config", "picture"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {0, 1}})
    ->Iterations(10)
    ->Repetitions(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
