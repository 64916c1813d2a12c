#include "platform/runtime/OwnedDescriptor.h"

#include "platform/runtime/EventLoop.h"
#include "tests/support/WarningLog.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <utility>

using namespace DewlightPlatform;

namespace {

// A move hands over the descriptor and its watch: the object moved from closes nothing (a second
// close could hit a stranger's file that reused the number), and the last owner closes it.
TEST(OwnedDescriptor, TheLastOwnerWatchesAndClosesOnce) {
    int ends[2] = {-1, -1};
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC | O_NONBLOCK), 0);
    const OwnedDescriptor writeEnd(ends[1]);
    int readable = 0;
    DewlightTest::WarningLog warnings;
    {
        OwnedDescriptor first(ends[0]);
        first.watch([&] {
            char byte = 0;
            while (::read(ends[0], &byte, 1) > 0) {
            }
            ++readable;
        });
        const OwnedDescriptor second(std::move(first));
        EXPECT_FALSE(first.isOpen());
        ASSERT_EQ(::write(ends[1], "x", 1), 1);
        EXPECT_TRUE(runUntil([&] { return readable == 1; }));
        EXPECT_NE(::fcntl(ends[0], F_GETFD), -1) << "the moved-from object closed it";
    }
    EXPECT_EQ(::fcntl(ends[0], F_GETFD), -1) << "still open after its last owner went";
    runUntilIdle();
    EXPECT_EQ(readable, 1);
    EXPECT_TRUE(warnings.lines.empty());
}

} // namespace
