#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <random>

#include "soak/board_walk.h"

// A short soak among the unit tests: a few seeded walks that must keep every invariant.
TEST(BoardWalk, SeededWalksKeepTheInvariants) {
    for (unsigned seed : {1u, 2u, 3u}) {
        QTemporaryDir scratch;
        std::mt19937_64 random(seed);
        BoardWalk walk([&](unsigned bound) { return unsigned(random() % bound); }, scratch.path());
        BoardWalk::Options options;
        options.keepToolWhileShapeUnderWay = true;
        walk.setOptions(options);
        for (int i = 0; i < 3000; ++i) {
            ASSERT_TRUE(walk.step())
                << "seed " << seed << ", event " << walk.steps() << " ("
                << walk.lastEvent().toStdString() << "): " << walk.failure().toStdString();
        }
    }
}
