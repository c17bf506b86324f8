// The soak: a long seeded walk of events over the board's units, checking the invariants after
// every event. Usage: soak_board EVENTS [SEED]. Exits 1 at the first broken invariant and prints
// the seed, the event number and the events that led there.
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <deque>
#include <random>

#include "board_walk.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s EVENTS [SEED]\n", argv[0]);
        return 2;
    }
    const unsigned long long events = std::strtoull(argv[1], nullptr, 10);
    const unsigned long long seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
    QTemporaryDir scratch;
    std::mt19937_64 random(seed);
    BoardWalk walk([&](unsigned bound) { return unsigned(random() % bound); }, scratch.path());
    BoardWalk::Options options;
    options.keepToolWhileShapeUnderWay =
        qEnvironmentVariableIntValue("VELMO_SOAK_KEEP_TOOL_WHILE_SHAPE") != 0;
    walk.setOptions(options);

    std::deque<QString> recent;
    for (unsigned long long i = 0; i < events; ++i) {
        const bool ok = walk.step();
        recent.push_back(walk.lastEvent());
        if (recent.size() > 40) recent.pop_front();
        if (!ok) {
            QTextStream err(stderr);
            err << "soak: seed " << seed << ", event " << walk.steps() << ": " << walk.failure()
                << "\nlast events:\n";
            for (const QString& e : recent)
                err << "  " << e << "\n";
            return 1;
        }
        if ((i + 1) % 100000 == 0)
            std::fprintf(stderr, "soak: seed %llu, %llu events\n", seed, i + 1);
    }
    std::printf("soak: seed %llu, %llu events, all invariants held\n", seed, events);
    return 0;
}
