#include "link/linux/hidapi_backend.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "link/linux/fake_hidapi.h"

namespace vornak::linux_hid {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::FakeHidapi;

constexpr const char* kController = "/dev/hidraw3";

class HidapiBackendTest : public ::testing::Test {
protected:
    HidapiBackendTest()
    {
        fake.listing = {{"/dev/hidraw0", 0x046d, 0xc52b}, {kController, 0x2dc8, 0x3014}};
    }

    std::unique_ptr<HidDevice> OpenController()
    {
        backend.EnumerateInterfaces();
        OpenError error;
        auto device = backend.OpenInterface(kController, OpenAccess::Read, error);
        EXPECT_NE(device, nullptr) << error.message;
        return device;
    }

    FakeHidapi fake;
    std::vector<std::string> diagnostics;
    HidapiBackend backend{fake.Calls(), [this](const std::string& line) { diagnostics.push_back(line); }};
};

std::vector<uint8_t> Bytes(size_t count, uint8_t first)
{
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

TEST_F(HidapiBackendTest, EnumerationListsEachNodeOnceInOrderWithItsIds)
{
    // One node per top-level usage: the keyboard node comes twice, the controller three times.
    fake.listing = {{"/dev/hidraw1", 0x046d, 0xc52b},
                    {kController, 0x2dc8, 0x3014},
                    {"/dev/hidraw1", 0x046d, 0xc52b},
                    {kController, 0x2dc8, 0x3014},
                    {"/dev/hidraw0", 0x1234, 0x0001},
                    {kController, 0x2dc8, 0x3014}};
    const std::vector<HidInterface> list = backend.EnumerateInterfaces();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].path, "/dev/hidraw1");
    EXPECT_EQ(list[1].path, kController);
    EXPECT_EQ(list[1].vendorId, 0x2dc8);
    EXPECT_EQ(list[1].productId, 0x3014);
    EXPECT_EQ(list[2].path, "/dev/hidraw0");
    EXPECT_EQ(fake.freedLists, 1);
}

TEST_F(HidapiBackendTest, NoDevicesGivesAnEmptyList)
{
    fake.listing.clear();
    EXPECT_TRUE(backend.EnumerateInterfaces().empty());
}

TEST_F(HidapiBackendTest, OpensOnlyPathsOfTheLatestEnumeration)
{
    OpenError error;
    EXPECT_EQ(backend.OpenInterface(kController, OpenAccess::Probe, error), nullptr) << "before any enumeration";
    EXPECT_EQ(error.kind, OpenFailure::NotFound);
    EXPECT_THAT(error.message, HasSubstr(kController));

    backend.EnumerateInterfaces();
    EXPECT_EQ(backend.OpenInterface("/dev/null", OpenAccess::Probe, error), nullptr);
    EXPECT_NE(backend.OpenInterface(kController, OpenAccess::Probe, error), nullptr);

    fake.listing.pop_back();
    backend.EnumerateInterfaces();
    EXPECT_EQ(backend.OpenInterface(kController, OpenAccess::Probe, error), nullptr) << "gone since";
    EXPECT_THAT(fake.openedPaths, ElementsAre(kController)) << "hidapi never sees an unlisted path";
}

TEST_F(HidapiBackendTest, OpenFailuresAreClassifiedAndCarryTheirContext)
{
    struct Case {
        int osError;
        std::wstring hidapiText;
        OpenFailure kind;
        const char* text;
    };
    const Case cases[] = {
        {EACCES, L"Failed to open a device with path '/dev/hidraw3': Permission denied", OpenFailure::AccessDenied,
         "Permission denied"},
        {EPERM, L"", OpenFailure::AccessDenied, "Operation not permitted"},
        {ENOENT, L"", OpenFailure::NotFound, "No such file or directory"},
        {ENODEV, L"No such device", OpenFailure::NotFound, "No such device"},
        {EBUSY, L"", OpenFailure::Other, "busy"},
    };
    backend.EnumerateInterfaces();
    for (const Case& c : cases) {
        fake.opens[kController] = {c.osError, c.hidapiText};
        OpenError error;
        EXPECT_EQ(backend.OpenInterface(kController, OpenAccess::Write, error), nullptr);
        EXPECT_EQ(error.kind, c.kind) << c.text;
        EXPECT_THAT(error.message, HasSubstr("hid_open_path /dev/hidraw3: ")) << c.text;
        EXPECT_THAT(error.message, HasSubstr(c.text));
    }
}

TEST_F(HidapiBackendTest, DestroyingADeviceClosesItsHandle)
{
    auto device = OpenController();
    EXPECT_EQ(fake.openHandles, 1);
    EXPECT_EQ(fake.initCalls, 1);
    device.reset();
    EXPECT_EQ(fake.openHandles, 0);
}

TEST(HidapiLibraryLifetime, ExitWaitsForTheLastOpenDevice)
{
    FakeHidapi fake;
    fake.listing = {{kController, 0x2dc8, 0x3014}};
    std::unique_ptr<HidDevice> device;
    {
        HidapiBackend backend(fake.Calls(), {});
        backend.EnumerateInterfaces();
        OpenError error;
        device = backend.OpenInterface(kController, OpenAccess::Read, error);
    }
    EXPECT_EQ(fake.exitCalls, 0);
    device.reset();
    EXPECT_EQ(fake.exitCalls, 1);
    EXPECT_EQ(fake.openHandles, 0);
}

TEST_F(HidapiBackendTest, WritePassesTheReportIdByteFirstAndTheWholeReport)
{
    auto device = OpenController();
    std::vector<uint8_t> report = Bytes(kOutputReportSize, 0);
    EXPECT_TRUE(device->WriteReport(report));
    ASSERT_EQ(fake.written.size(), 1u);
    EXPECT_EQ(fake.written[0], report);
    EXPECT_EQ(fake.written[0][0], 0) << "report ID";
    EXPECT_TRUE(diagnostics.empty());
}

TEST_F(HidapiBackendTest, ShortOrFailedWritesAreFailuresWithContext)
{
    struct Case {
        FakeHidapi::Transfer result;
        const char* text;
    };
    const Case cases[] = {
        {{64, 0, {}, L""}, "short write, 64 of 65 bytes"},
        {{0, 0, {}, L""}, "short write, 0 of 65 bytes"},
        {{-1, EIO, {}, L"Input/output error"}, "hid_write /dev/hidraw3: Input/output error"},
        {{-1, ENODEV, {}, L""}, "hid_write /dev/hidraw3: No such device"},
    };
    auto device = OpenController();
    for (const Case& c : cases) {
        diagnostics.clear();
        fake.writes.push_back(c.result);
        EXPECT_FALSE(device->WriteReport(Bytes(kOutputReportSize, 0))) << c.text;
        ASSERT_EQ(diagnostics.size(), 1u) << c.text;
        EXPECT_THAT(diagnostics[0], HasSubstr(c.text));
    }
}

TEST_F(HidapiBackendTest, AnUnnumberedReportOf64BytesIsThePayload)
{
    auto device = OpenController();
    const std::vector<uint8_t> report = Bytes(kReportPayloadSize, 0x40);
    fake.reads.push_back({64, 0, report, L""});
    std::array<uint8_t, kReportPayloadSize> payload{};
    const ReadResult result = device->ReadReport(payload, 200);
    EXPECT_EQ(result.outcome, ReadOutcome::Report);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), report.begin()));
    EXPECT_EQ(fake.readTimeouts.back(), 200);
    EXPECT_GT(fake.readBufferSizes.back(), kReportPayloadSize) << "room to notice a longer report";
}

TEST_F(HidapiBackendTest, TimeOutsAndFailedReadsLeaveThePayloadUntouched)
{
    struct Case {
        FakeHidapi::Transfer result;
        ReadOutcome outcome;
        uint32_t errorCode;
        const char* diagnostic;  // "" when none is expected
    };
    const Case cases[] = {
        {{0, 0, {}, L""}, ReadOutcome::TimedOut, 0, ""},
        {{10, 0, Bytes(10, 1), L""}, ReadOutcome::Failed, EIO, "report of 10 bytes, expected 64"},
        {{65, 0, Bytes(65, 1), L""}, ReadOutcome::Failed, EIO, "report of 65 bytes, expected 64"},
        {{-1, EIO, {}, L"Input/output error"}, ReadOutcome::Failed, EIO, "hid_read_timeout /dev/hidraw3: Input/output error"},
        {{-1, 0, {}, L""}, ReadOutcome::Failed, ENODEV, "hid_read_timeout /dev/hidraw3: unknown error"},
    };
    auto device = OpenController();
    for (const Case& c : cases) {
        diagnostics.clear();
        fake.reads.push_back(c.result);
        std::array<uint8_t, kReportPayloadSize> payload;
        payload.fill(0xEE);
        const ReadResult result = device->ReadReport(payload, 10);
        EXPECT_EQ(result.outcome, c.outcome) << c.diagnostic;
        EXPECT_EQ(result.errorCode, c.errorCode) << c.diagnostic;
        EXPECT_TRUE(std::all_of(payload.begin(), payload.end(), [](uint8_t b) { return b == 0xEE; }))
            << c.diagnostic;
        if (*c.diagnostic == '\0') {
            EXPECT_TRUE(diagnostics.empty());
        } else {
            ASSERT_EQ(diagnostics.size(), 1u);
            EXPECT_THAT(diagnostics[0], HasSubstr(c.diagnostic));
        }
    }
}

TEST_F(HidapiBackendTest, HugeTimeOutsAreClampedForHidapi)
{
    auto device = OpenController();
    std::array<uint8_t, kReportPayloadSize> payload{};
    device->ReadReport(payload, UINT32_MAX);
    EXPECT_EQ(fake.readTimeouts.back(), INT_MAX);
}

TEST_F(HidapiBackendTest, RegistrationAlwaysSucceeds)
{
    EXPECT_NE(backend.RegisterDeviceNotification(nullptr), nullptr);
}

}  // namespace
}  // namespace vornak::linux_hid
