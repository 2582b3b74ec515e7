#include "link/linux/device_events.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vornak {
namespace {

using ::testing::ElementsAreArray;

TEST(DeviceEvents, ActionStringsMapToTheDialogsEvents)
{
    struct Case {
        const char* action;
        std::vector<uint32_t> events;
    };
    // 7 comes after the arrival, so its button rule sees the freshly read version.
    const Case cases[] = {
        {"add", {0x8000, 0x0007}},
        {"remove", {0x8004, 0x0007}},
        {"change", {0x0007}},
        {"bind", {0x0007}},
        {"unbind", {0x0007}},
        {"move", {0x0007}},
        {"", {0x0007}},
        {"ADD", {0x0007}},
    };
    for (const Case& c : cases)
        EXPECT_THAT(DeviceChangeEvents(ParseDeviceAction(c.action)), ElementsAreArray(c.events)) << c.action;
}

}  // namespace
}  // namespace vornak
