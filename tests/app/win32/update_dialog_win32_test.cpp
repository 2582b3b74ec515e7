#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "win32_dialog_rig.h"

namespace vornak {
namespace {

using testing::Win32DialogRig;

const std::string kProductTitle = "Vornak Update v2.16";

std::string VersionTitleOf(const sim::SimConfig& config)
{
    return VersionTitle(kProductTitle, config.version.singleNumber, config.version.version, config.version.minor,
                        config.version.beta);
}

TEST(UpdateDialogWin32, OpensWithoutControllerInTheUserInterfaceLanguage)
{
    const struct {
        uint16_t language;
        const char* instructions;
    } cases[] = {
        {kLanguageChinesePrc, kInstructionsChinese},
        {kLanguageChineseTaiwan, kInstructionsEnglish},
        {kLanguageEnglishUs, kInstructionsEnglish},
    };
    for (const auto& c : cases) {
        Win32DialogRig rig(c.language);
        rig.backend.Unplug();
        ASSERT_TRUE(rig.Open());
        rig.Pump();
        EXPECT_EQ(rig.Instructions(), c.instructions) << "language " << c.language;
        EXPECT_EQ(rig.Title(), kProductTitle);
        EXPECT_FALSE(rig.ButtonEnabled());
        EXPECT_FALSE(rig.SuccessShown());
        EXPECT_EQ(rig.Progress(), 0);
        EXPECT_NE(SendMessageW(rig.dialog, WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageW(rig.dialog, WM_GETICON, ICON_SMALL, 0), 0);
    }
}

TEST(UpdateDialogWin32, VersionTitleLandsAfterInitialisation)
{
    Win32DialogRig rig;
    ASSERT_TRUE(rig.Open());
    // The initialisation sets the product title last; the query's title is
    // posted and wins once the window thread handles messages again.
    EXPECT_EQ(rig.Title(), kProductTitle);
    rig.Pump();
    EXPECT_EQ(rig.Title(), VersionTitleOf(sim::SimConfig{}));
    EXPECT_TRUE(rig.ButtonEnabled());
}

TEST(UpdateDialogWin32, DeviceChangeMessagesFollowRemovalAndArrival)
{
    Win32DialogRig rig;
    ASSERT_TRUE(rig.Open());
    rig.Pump();

    rig.backend.Unplug();
    EXPECT_EQ(rig.DeviceChange(DBT_DEVICEREMOVECOMPLETE), TRUE);
    EXPECT_FALSE(rig.ButtonEnabled());
    EXPECT_EQ(rig.Title(), kProductTitle);

    EXPECT_EQ(rig.DeviceChange(0x8001), TRUE);  // ignored, still answered TRUE

    rig.backend.Plug();
    EXPECT_EQ(rig.DeviceChange(DBT_DEVICEARRIVAL), TRUE);
    rig.Pump();
    EXPECT_TRUE(rig.ButtonEnabled());
    EXPECT_EQ(rig.Title(), VersionTitleOf(sim::SimConfig{}));
}

// A worker's window operations are carried out by the window thread and have
// taken effect when they return.
TEST(UpdateDialogWin32, OperationsFromAnotherThreadHaveTakenEffectWhenTheyReturn)
{
    Win32DialogRig rig;
    rig.backend.Unplug();
    ASSERT_TRUE(rig.Open());
    rig.Pump();

    const HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([&] {
        rig.window.SetProgress(150);
        EXPECT_EQ(rig.Progress(), 100);
        rig.window.SetProgress(-3);
        EXPECT_EQ(rig.Progress(), 0);
        rig.window.SetProgress(42);
        EXPECT_EQ(rig.Progress(), 42);
        rig.window.EnableUpdateButton(true);
        EXPECT_TRUE(rig.ButtonEnabled());
        rig.window.ShowSuccessLabel(true);
        EXPECT_TRUE(rig.SuccessShown());
        rig.window.SetTitle("固件 v1.5");
        EXPECT_EQ(rig.Title(), "固件 v1.5");
        rig.window.SetInstructionText("line 1\r\nline 2");
        EXPECT_EQ(rig.Instructions(), "line 1\r\nline 2");
        SetEvent(done);
    });
    rig.PumpUntil(done);
    worker.join();
    CloseHandle(done);
}

TEST(UpdateDialogWin32, PostedTasksNeverBlockAndRunOnTheWindowThread)
{
    Win32DialogRig rig;
    rig.backend.Unplug();
    ASSERT_TRUE(rig.Open());
    rig.Pump();

    std::atomic<DWORD> ranOn{0};
    // The window thread handles no messages while the worker posts.
    std::thread([&] { rig.window.PostToWindowThread([&] { ranOn = GetCurrentThreadId(); }); }).join();
    EXPECT_EQ(ranOn.load(), 0u);
    rig.Pump();
    EXPECT_EQ(ranOn.load(), GetCurrentThreadId());
}

TEST(UpdateDialogWin32, TasksPostedButNotRunAreFreedWithTheWindow)
{
    Win32DialogRig rig;
    rig.backend.Unplug();
    ASSERT_TRUE(rig.Open());
    rig.Pump();

    auto token = std::make_shared<int>(0);
    bool ran = false;
    rig.window.PostToWindowThread([token, &ran] { ran = true; });
    EXPECT_EQ(token.use_count(), 2);
    rig.Destroy();
    EXPECT_EQ(token.use_count(), 1);

    // Once the window is gone a post is freed at once.
    rig.window.PostToWindowThread([token, &ran] { ran = true; });
    EXPECT_EQ(token.use_count(), 1);
    rig.Pump();
    EXPECT_FALSE(ran);
}

TEST(UpdateDialogWin32, CloseEndsTheDialogWhenNoUpdateRuns)
{
    Win32DialogRig rig;
    rig.backend.Unplug();
    ASSERT_TRUE(rig.Open());
    rig.Pump();
    ASSERT_TRUE(IsWindowVisible(rig.dialog));
    SendMessageW(rig.dialog, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(rig.dialog));
}

}  // namespace
}  // namespace vornak
