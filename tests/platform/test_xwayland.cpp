// Telling XWayland from an ordinary X server, and which of its pointer readings are real.
#include <gtest/gtest.h>

#include "platform/pointer_presence.h"
#include "platform/xwayland.h"

TEST(XWaylandNames, OnlyAServerWhoseOutputsAreAllXWaylandsIsOne) {
    EXPECT_TRUE(x11::namesAreXWayland({"XWAYLAND0"}));
    EXPECT_TRUE(x11::namesAreXWayland({"XWAYLAND0", "XWAYLAND1"}));
    EXPECT_FALSE(x11::namesAreXWayland({}));                       // no RandR at all
    EXPECT_FALSE(x11::namesAreXWayland({"screen"}));               // Xvfb
    EXPECT_FALSE(x11::namesAreXWayland({"HDMI-1", "XWAYLAND0"}));  // a real output among them
}

TEST(PointerPresence, AReadingOffTheServersWindowsIsStaleOnlyUnderXWayland) {
    const PointerPresence x11;
    EXPECT_TRUE(x11.real(false));
    EXPECT_TRUE(x11.real(true));
    EXPECT_FALSE(x11.leavingBreaksTheWay());
    const PointerPresence xwayland(true);
    EXPECT_FALSE(xwayland.real(false));
    EXPECT_TRUE(xwayland.real(true));
    EXPECT_TRUE(xwayland.leavingBreaksTheWay());
}
