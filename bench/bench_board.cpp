#include "bench_board.h"

#include <xcb/xcb.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QWindow>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>

#include "platform/window_shape.h"

namespace {

xcb_connection_t* xConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Processes events until `done` holds or ten seconds have passed.
template <typename Condition>
bool pollUntil(Condition done) {
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

}  // namespace

BenchBoard::BenchBoard() : form_(platform_, QStringList()) {
    if (!xConnection()) throw std::runtime_error("the benchmarks need the xcb platform");
    form_.timer().stop();
    form_.show();
    form_.resize(kClient);
    const bool ready = pollUntil([this] {
        QWindow* window = form_.windowHandle();
        return window && window->isExposed() && form_.shape().attached() && form_.size() == kClient;
    });
    if (!ready) throw std::runtime_error("the board window did not appear on the X server");
    form_.timer().stop();
    clientOrigin_ = form_.mapToGlobal(QPoint(0, 0));
    finishFrame();
}

void BenchBoard::setCursor(QPoint client) {
    platform_.cursor = client + clientOrigin_;
}

void BenchBoard::reset(Picture picture) {
    BoardModel& m = model();
    DrawState& s = m.state;
    s.DrawTool = ToolFreehand;
    s.DrawPhase = PhaseIdle;
    s.FreehandActive = false;
    s.EraserActive = false;
    s.DragActive = false;
    s.RepaintPending = false;
    m.setPenColor(0);
    m.setPenWidth(4);

    Canvas& buffer = m.stores.buffer();
    buffer.imageForWrite().fill(TransparentKeyRgb);
    buffer.addDamage(buffer.rect());
    m.surface().fillRect(m.surface().rect());
    if (picture == Picture::Sparse)
        drawSparse();
    else if (picture == Picture::Dense)
        drawDense();
    else
        drawSpeckle();
    m.lfb();
    form_.present();
    finishFrame();
}

// A few strokes of the kind a user draws over a desktop: lines, a zigzag, a frame, an ellipse.
void BenchBoard::drawSparse() {
    BoardModel& m = model();
    Canvas& surface = m.surface();
    const TColor colours[] = {0x0000ff, 0x00aa00, 0xff0000, 0x000000, 0x00a5ff};
    surface.setPenColor(colours[0]);
    surface.moveTo({60, 80});
    surface.lineTo({1540, 1150});
    surface.setPenColor(colours[1]);
    const std::array<QPoint, 6> zigzag{QPoint(200, 900), QPoint(350, 700), QPoint(500, 900),
                                       QPoint(650, 700), QPoint(800, 900), QPoint(950, 700)};
    surface.polyline(zigzag);
    surface.setPenColor(colours[2]);
    const std::array<QPoint, 5> frame{QPoint(1000, 150), QPoint(1450, 150), QPoint(1450, 450),
                                      QPoint(1000, 450), QPoint(1000, 150)};
    surface.polyline(frame);
    surface.setPenColor(colours[3]);
    surface.arc({250, 200}, {650, 500}, {0, 0}, {0, 0});
    surface.setPenColor(colours[4]);
    surface.moveTo({100, 1100});
    surface.lineTo({1500, 1000});
    m.stb();
}

// Lines of black text from edge to edge over the key colour: the worst case for the shape.
void BenchBoard::drawDense() {
    Canvas& buffer = model().stores.buffer();
    QImage& image = buffer.imageForWrite();
    {
        QPainter painter(&image);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const QString text = QStringLiteral(
            "The quick brown fox jumps over the lazy dog; 0123456789 (a+b)*c = d/e, ");
        const QString line = text.repeated(4);
        const int step = 14;
        for (int y = step; y < image.height(); y += step)
            painter.drawText(QPoint((y / step % 7) * 3, y), line);
    }
    buffer.addDamage(buffer.rect());
}

// Single pixels on even rows and columns, about five in sixteen of them, seeded.
void BenchBoard::drawSpeckle() {
    Canvas& buffer = model().stores.buffer();
    QImage& image = buffer.imageForWrite();
    std::mt19937 random(1600);
    for (int y = 0; y < image.height(); y += 2) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); x += 2)
            if (random() % 16 < 5) line[x] = 0xff000000u;
    }
    buffer.addDamage(buffer.rect());
}

void BenchBoard::roundTrip() {
    xcb_connection_t* c = xConnection();
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

// The round trip comes last, after whatever handling the events asked of the server: in a run of
// ticks, every request a tick caused is then carried out before the next tick starts, except for
// exposures that arrive late, which the next tick pays for.
void BenchBoard::finishFrame() {
    form_.shape().sync();
    QCoreApplication::processEvents();
    roundTrip();
}

void BenchBoard::setUnderlay(bool on) {
    xcb_connection_t* c = xConnection();
    if (on && !underlay_) {
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        underlay_ = xcb_generate_id(c);
        const uint32_t values[] = {XCB_BACK_PIXMAP_NONE, 1};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, underlay_, screen->root, 0, 0,
                          screen->width_in_pixels, screen->height_in_pixels, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_BACK_PIXMAP | XCB_CW_OVERRIDE_REDIRECT, values);
        const uint32_t below[] = {XCB_STACK_MODE_BELOW};
        xcb_configure_window(c, underlay_, XCB_CONFIG_WINDOW_STACK_MODE, below);
        xcb_map_window(c, underlay_);
    } else if (!on && underlay_) {
        xcb_destroy_window(c, underlay_);
        underlay_ = 0;
    }
    roundTrip();
}

int BenchBoard::shapeRectangles() const {
    const QImage& picture = const_cast<TForm1&>(form_).model().surface().image();
    return static_cast<int>(visibleRects(picture, TransparentKeyRgb, picture.rect()).size());
}

std::int64_t xServerCpuNs() {
    static const QByteArray pid = qgetenv("VELMO_XSERVER_PID");
    if (pid.isEmpty()) return -1;
    // The first field of each thread's schedstat is its time on a CPU in nanoseconds.
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(QString::fromLatin1(pid)));
    std::int64_t total = 0;
    bool any = false;
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QList<QByteArray> fields = f.readAll().split(' ');
        if (fields.isEmpty()) continue;
        total += fields[0].toLongLong();
        any = true;
    }
    return any ? total : -1;
}

std::vector<QPoint> ellipsePath(QPoint centre, int rx, int ry, int count) {
    std::vector<QPoint> out;
    out.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = 2.0 * M_PI * i / count;
        out.emplace_back(centre.x() + static_cast<int>(std::lround(rx * std::cos(t))),
                         centre.y() + static_cast<int>(std::lround(ry * std::sin(t))));
    }
    return out;
}
