// A command from outside to a board: the bus round trip from a second connection to the board's
// object and back, with the command carried out, and the same through a whole `velmo --remote`
// process. Needs a session bus: run it under dbus-run-session.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>

#include "fake_platform.h"
#include "remote/board_service.h"
#include "window/board_remote.h"
#include "window/tform1.h"

namespace {

struct Board {
    FakePlatform platform;
    TForm1 form{platform, {}};
    BoardRemote remote{form};
    remote::BoardService service{remote};
    bool published = service.publish();
};

Board& board() {
    static Board b;
    return b;
}

void BM_RemoteRoundTrip(benchmark::State& state) {
    Board& b = board();
    if (!b.published) {
        state.SkipWithError("no session bus: run under dbus-run-session");
        return;
    }
    QDBusConnection client =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("bench"));
    const QString service = remote::serviceName(QCoreApplication::applicationPid());
    int width = 4;
    for (auto _ : state) {
        width = width == 4 ? 8 : 4;
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, QLatin1String(remote::kObjectPath), QLatin1String(remote::kInterface),
            QStringLiteral("Run"));
        call << QStringLiteral("width") << QByteArray::number(width) << false;
        // The board's object lives on this thread: the call waits with the event loop running.
        const QDBusMessage reply = client.call(call, QDBus::BlockWithGui);
        if (reply.type() != QDBusMessage::ReplyMessage ||
            b.form.model().surface().penWidth() != width) {
            state.SkipWithError("the command did not take effect");
            break;
        }
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("bench"));
}
BENCHMARK(BM_RemoteRoundTrip)->Unit(benchmark::kMicrosecond);

// What a key binding costs: a whole client process, from its start to its exit.
void BM_RemoteClientProcess(benchmark::State& state) {
    Board& b = board();
    if (!b.published) {
        state.SkipWithError("no session bus: run under dbus-run-session");
        return;
    }
    for (auto _ : state) {
        QProcess client;
        client.start(QStringLiteral(VELMO_EXECUTABLE),
                     {QStringLiteral("--remote"), QStringLiteral("undo")});
        while (client.state() != QProcess::NotRunning)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0) {
            state.SkipWithError(client.readAllStandardError().constData());
            break;
        }
    }
}
BENCHMARK(BM_RemoteClientProcess)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
