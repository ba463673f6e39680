// The demo's process start: closed standard descriptors and termination signals.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "platform/process.h"
#include "platform/win.h"

namespace {

// Descriptors 0-2 closed at start end up on /dev/null; once the loop takes messages, SIGTERM
// arrives as its quit message with the signal's exit code.
TEST(Process, ClosedDescriptorsGetDevNullAndSignalsEndTheLoop)
{
    struct stat null {};
    ASSERT_EQ(stat("/dev/null", &null), 0);
    EXPECT_EXIT(
        {
            for (int fd = 0; fd <= 2; ++fd)
                close(fd);
            plat::StartProcess();
            bool onNull = true;
            for (int fd = 0; fd <= 2; ++fd) {
                struct stat st {};
                onNull = onNull && fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == null.st_rdev;
            }
            plat::MSG msg{};
            plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE);
            std::raise(SIGTERM);
            const bool quit = plat::PeekMessage(&msg, nullptr, 0, 0, plat::PM_REMOVE) && msg.message == plat::WM_QUIT;
            std::_Exit(onNull && quit ? int(msg.wParam) : 1);
        },
        testing::ExitedWithCode(143), "");
}

}  // namespace
