#include "link/linux/udev_monitor.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>

#include <cstdio>
#include <string>

namespace vornak {
namespace {

TEST(UdevMonitor, TheSourceIsUdevOnlyWhileUdevdHasItsControlSocket)
{
    EXPECT_EQ(UdevMonitor::ChooseSource("/nonexistent/udev/control"), UdevMonitor::Source::Kernel);
    char path[] = "/tmp/vornak-udev-control-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_EQ(UdevMonitor::ChooseSource(path), UdevMonitor::Source::Udev);
    std::remove(path);
}

TEST(UdevMonitor, StartsOnTheKernelSourceAndReadsNothingWhenNothingHappened)
{
    std::string error;
    auto monitor = UdevMonitor::Start(UdevMonitor::Source::Kernel, error);
    if (!monitor)
        GTEST_SKIP() << "no netlink here: " << error;
    EXPECT_EQ(monitor->source(), UdevMonitor::Source::Kernel);
    ASSERT_GE(monitor->fd(), 0);
    EXPECT_NE(fcntl(monitor->fd(), F_GETFL) & O_NONBLOCK, 0) << "a read never blocks the event loop";
    pollfd entry{monitor->fd(), POLLIN, 0};
    if (poll(&entry, 1, 0) == 0) {
        EXPECT_FALSE(monitor->Receive().has_value());
    }
}

}  // namespace
}  // namespace vornak
