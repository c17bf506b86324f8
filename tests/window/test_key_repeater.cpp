#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QTest>
#include <functional>
#include <map>

#include "window/key_repeater.h"

namespace {

// Processes events until the condition holds or five seconds have passed.
bool pollUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(5000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QTest::qWait(2);
    }
    return true;
}

constexpr int kShift = 16, kCtrl = 17, kOther = 65;

struct Repeats {
    std::map<int, int> count;
    std::function<void(int)> also;
    KeyRepeater repeater{20, 5, [this](int key) {
                             ++count[key];
                             if (also) also(key);
                         }};

    // Lets another key repeat a few times: long enough for any repeat of a key that should be
    // silent to have shown up, without waiting for a fixed time.
    void letTimePass() {
        const int before = count[kOther];
        repeater.pressed(kOther, false);
        EXPECT_TRUE(pollUntil([&] { return count[kOther] >= before + 4; }));
        repeater.released(kOther);
    }
};

}  // namespace

TEST(KeyRepeater, RepeatsAHeldKeyAfterTheDelay) {
    Repeats r;
    r.repeater.pressed(kShift, false);
    EXPECT_TRUE(r.repeater.held(kShift));
    EXPECT_EQ(r.count[kShift], 0);  // nothing before the delay has run
    EXPECT_TRUE(pollUntil([&] { return r.count[kShift] >= 3; }));
    EXPECT_EQ(r.count.size(), 1u);  // only the held key repeats
}

TEST(KeyRepeater, ReleaseStopsTheRepeats) {
    Repeats r;
    r.repeater.pressed(kShift, false);
    ASSERT_TRUE(pollUntil([&] { return r.count[kShift] >= 2; }));
    r.repeater.released(kShift);
    EXPECT_FALSE(r.repeater.held(kShift));
    const int repeats = r.count[kShift];
    r.letTimePass();
    EXPECT_EQ(r.count[kShift], repeats);
}

TEST(KeyRepeater, TwoHeldKeysRepeatIndependently) {
    Repeats r;
    r.repeater.pressed(kShift, false);
    r.repeater.pressed(kCtrl, false);
    EXPECT_TRUE(pollUntil([&] { return r.count[kShift] >= 2 && r.count[kCtrl] >= 2; }));
    r.repeater.released(kCtrl);
    const int ctrl = r.count[kCtrl];
    EXPECT_TRUE(pollUntil([&] { return r.count[kShift] >= 8; }));
    EXPECT_EQ(r.count[kCtrl], ctrl);
    EXPECT_EQ(r.repeater.heldKeys(), std::vector<int>{kShift});
}

TEST(KeyRepeater, StepsAsideWhenThePlatformRepeats) {
    // The platform's own repeat arrives before ours would start.
    Repeats r;
    r.repeater.pressed(kShift, false);
    r.repeater.pressed(kShift, true);
    r.letTimePass();
    EXPECT_EQ(r.count[kShift], 0);
    EXPECT_TRUE(r.repeater.held(kShift));

    // ... or after ours have begun.
    r.repeater.pressed(kCtrl, false);
    ASSERT_TRUE(pollUntil([&] { return r.count[kCtrl] >= 2; }));
    r.repeater.pressed(kCtrl, true);
    const int ctrl = r.count[kCtrl];
    r.letTimePass();
    EXPECT_EQ(r.count[kCtrl], ctrl);

    // A key first seen as a platform repeat (held when the window got the keyboard).
    Repeats s;
    s.repeater.pressed(kShift, true);
    s.letTimePass();
    EXPECT_EQ(s.count[kShift], 0);
}

TEST(KeyRepeater, TheRepeatHandlerMayReleaseEverything) {
    Repeats r;
    r.also = [&](int) { r.repeater.releaseAll(); };
    r.repeater.pressed(kShift, false);
    r.repeater.pressed(kCtrl, false);
    ASSERT_TRUE(pollUntil([&] { return r.count[kShift] + r.count[kCtrl] >= 1; }));
    EXPECT_TRUE(r.repeater.heldKeys().empty());
    r.also = nullptr;
    const int total = r.count[kShift] + r.count[kCtrl];
    r.letTimePass();
    EXPECT_EQ(r.count[kShift] + r.count[kCtrl], total);
}

TEST(KeyRepeater, ReleaseAllForgetsEveryKey) {
    Repeats r;
    r.repeater.pressed(kShift, false);
    r.repeater.pressed(kCtrl, true);
    EXPECT_EQ(r.repeater.heldKeys(), (std::vector<int>{kShift, kCtrl}));
    r.repeater.releaseAll();
    EXPECT_TRUE(r.repeater.heldKeys().empty());
    r.repeater.released(kShift);  // releasing an unknown key is harmless
    r.letTimePass();
    EXPECT_EQ(r.count[kShift], 0);
}

TEST(KeyRepeater, FollowsTheUsersSettingFromPressToPress) {
    Repeats r;
    const KeyRepeater::Setting off{false, 20, 5}, on{true, 20, 5};
    r.repeater.pressed(kShift, false, off);
    r.repeater.pressed(kShift, false, on);  // the other Shift key, the first still held
    r.letTimePass();
    EXPECT_EQ(r.count[kShift], 0);
    EXPECT_TRUE(r.repeater.held(kShift));  // released as any held key is
    r.repeater.released(kShift);

    // Repeat turned on again: the next press repeats.
    r.repeater.pressed(kShift, false, on);
    EXPECT_TRUE(pollUntil([&] { return r.count[kShift] >= 3; }));
}
