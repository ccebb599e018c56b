#include "platform/event_loop.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qorva;

TEST(VirtualEventLoop, TimersFireInTimeOrderAndDelayNests) {
    VirtualEventLoop loop;
    std::vector<std::pair<char, int64_t>> fired;
    loop.startTimer(100, [&] { fired.push_back({'p', loop.now()}); });
    loop.post(250, [&] {
        fired.push_back({'x', loop.now()});
        loop.delay(120); // the periodic timer keeps ticking inside the nested wait
        fired.push_back({'y', loop.now()});
    });
    loop.runUntil(400);
    const std::vector<std::pair<char, int64_t>> expected{{'p', 100}, {'p', 200}, {'x', 250},
                                                         {'p', 300}, {'y', 370}, {'p', 400}};
    EXPECT_EQ(fired, expected);
    EXPECT_EQ(loop.now(), 400);
    EXPECT_FALSE(loop.hasPendingPosts());
}
