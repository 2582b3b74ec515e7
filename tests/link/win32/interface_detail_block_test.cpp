#include "link/win32/interface_detail_block.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cwchar>

namespace vornak {
namespace {

// Plays SetupDiGetDeviceInterfaceDetailW for one interface with the given path.
class FakeInterface {
public:
    explicit FakeInterface(std::wstring path, int failuresBeforeSuccess = 0)
        : path_(std::move(path)), failuresLeft_(failuresBeforeSuccess)
    {
    }

    DetailQuery Query()
    {
        return [this](SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail, DWORD size, DWORD* required) {
            const DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) +
                                                    (path_.size() + 1) * sizeof(wchar_t));
            if (required != nullptr)
                *required = needed;
            if (detail == nullptr) {
                ++sizeQueries;
                return false;
            }
            ++fillQueries;
            cbSizeSeen = detail->cbSize;
            if (size < needed || failuresLeft_-- > 0)
                return false;
            std::wmemcpy(detail->DevicePath, path_.c_str(), path_.size() + 1);
            return true;
        };
    }

    int sizeQueries = 0;
    int fillQueries = 0;
    DWORD cbSizeSeen = 0;

private:
    std::wstring path_;
    int failuresLeft_;
};

TEST(InterfaceDetailBlock, SetsTheFixedPartSizeOfThisArchitecture)
{
    FakeInterface device(L"\\\\?\\hid#vid_2dc8&pid_3014");
    InterfaceDetailBlock block;
    ASSERT_TRUE(block.PathOf(device.Query()));
    EXPECT_EQ(device.cbSizeSeen, sizeof(void*) == 8 ? 8u : 6u);
}

TEST(InterfaceDetailBlock, ReusesTheBlockForPathsThatFit)
{
    FakeInterface first(L"\\\\?\\hid#vid_045e&pid_0001#long-enough-path");
    FakeInterface second(L"\\\\?\\hid#short");
    InterfaceDetailBlock block;
    ASSERT_TRUE(block.PathOf(first.Query()));
    EXPECT_EQ(block.PathOf(second.Query()), L"\\\\?\\hid#short");
    EXPECT_EQ(second.sizeQueries, 0);
}

TEST(InterfaceDetailBlock, GrowsForALaterInterfaceWithALongerPath)
{
    FakeInterface first(L"\\\\?\\hid#short");
    FakeInterface second(L"\\\\?\\hid#vid_2dc8&pid_3014#a-much-longer-path-than-the-first");
    InterfaceDetailBlock block;
    ASSERT_TRUE(block.PathOf(first.Query()));
    EXPECT_EQ(block.PathOf(second.Query()), L"\\\\?\\hid#vid_2dc8&pid_3014#a-much-longer-path-than-the-first");
    EXPECT_EQ(second.sizeQueries, 1);
    EXPECT_EQ(second.fillQueries, 2);
}

TEST(InterfaceDetailBlock, RecoversFromAFailedQueryWithinTheBound)
{
    FakeInterface device(L"\\\\?\\hid#flaky", kDetailQueryAttempts - 1);
    InterfaceDetailBlock block;
    EXPECT_EQ(block.PathOf(device.Query()), L"\\\\?\\hid#flaky");
}

TEST(InterfaceDetailBlock, PassesOverAnInterfaceWhoseQueryKeepsFailing)
{
    FakeInterface broken(L"\\\\?\\hid#broken", 1000);
    FakeInterface next(L"\\\\?\\hid#next");
    InterfaceDetailBlock block;
    EXPECT_FALSE(block.PathOf(broken.Query()));
    EXPECT_EQ(broken.fillQueries, kDetailQueryAttempts);
    EXPECT_EQ(block.PathOf(next.Query()), L"\\\\?\\hid#next");
}

TEST(InterfaceDetailBlock, PassesOverAnInterfaceWithoutASize)
{
    InterfaceDetailBlock block;
    const DetailQuery noSize = [](SP_DEVICE_INTERFACE_DETAIL_DATA_W*, DWORD, DWORD* required) {
        if (required != nullptr)
            *required = 0;
        return false;
    };
    EXPECT_FALSE(block.PathOf(noSize));
}

}  // namespace
}  // namespace vornak
