#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "procedures/version_query.h"
#include "protocol/command_report.h"
#include "support/dialog_fixture.h"

namespace vornak {
namespace {

using sim::FaultKind;
using testing::DialogRig;
using testing::SampleFirmware;

constexpr const char* kProductTitle = "Vornak Update v2.16";

size_t VersionRequests(const sim::SimulatedController& c)
{
    return static_cast<size_t>(std::count_if(c.received().begin(), c.received().end(),
                                             [](const sim::ReceivedCommand& r) { return r.command == kVersionRequest; }));
}

sim::SimConfig Version(uint8_t major, uint8_t minor)
{
    sim::SimConfig config;
    config.version = {false, major, minor, 0};
    return config;
}

TEST(DialogStart, WithoutAController)
{
    DialogRig rig;
    rig.controller.Unplug();
    rig.Init();
    EXPECT_EQ(rig.window.Events(), (std::vector<std::string>{"instructions", "label hide", "progress 0", "button off",
                                                             std::string("title ") + kProductTitle}));
    EXPECT_EQ(rig.window.instructions, kInstructionsEnglish);
    EXPECT_EQ(rig.backend.registrations(), 1);  // registered although nothing was found
}

TEST(DialogStart, VersionTitleLandsAfterThePlainTitle)
{
    DialogRig rig(Version(2, 0x11));
    rig.dialog->OnInitDialog();
    EXPECT_EQ(rig.window.title, kProductTitle);  // the handler's own title comes first
    rig.window.RunPosted();
    EXPECT_EQ(rig.window.title, std::string(kProductTitle) + " (Device: v2.11)\n");
    EXPECT_TRUE(rig.window.buttonEnabled);
    EXPECT_EQ(rig.backend.openHandles(), 2);  // the link's pair; the probe is closed
}

TEST(DialogStart, SilentControllerLeavesTheTemplateButton)
{
    sim::SimFaults faults;
    faults.rules.push_back(sim::Fault(FaultKind::DropReply, kVersionRequest));
    DialogRig rig({}, faults);
    rig.Init();
    EXPECT_TRUE(rig.window.EventsStartingWith("button").empty());
    EXPECT_EQ(rig.window.title, kProductTitle);
    EXPECT_EQ(rig.window.debugLines.size(), 1u + kVersionReadAttempts);  // the path, then one per failed read
}

TEST(DialogStart, ChineseKeepsTheTemplateInstructionsAndLabelsTheFileType)
{
    DialogRig rig({}, {}, kLanguageChinesePrc);
    rig.Init();
    EXPECT_TRUE(rig.window.EventsStartingWith("instructions").empty());
    rig.window.chosenFile.reset();
    rig.dialog->OnUpdateButtonClicked();
    EXPECT_EQ(rig.window.lastFilter, "文件类型中显示的内容(*.dat)|*.dat||");

    rig.SetLanguage(kLanguageChineseTaiwan);
    rig.dialog->OnUpdateButtonClicked();
    EXPECT_EQ(rig.window.lastFilter, "File type(*.dat)|*.dat||");
}

TEST(DialogStart, ControllerWithoutAccessRightsShowsTheHint)
{
    DialogRig rig;
    rig.backend.DenyAccess(true);
    rig.Init();
    EXPECT_FALSE(rig.window.buttonEnabled);
    EXPECT_EQ(rig.window.instructions, std::string(kInstructionsEnglish) + "\r\n\r\naccess hint");
    EXPECT_EQ(rig.window.debugLines.back(), "cannot open sim:controller: permission denied\n");

    rig.backend.DenyAccess(false);
    rig.dialog->OnDeviceChange(0x8000);
    EXPECT_EQ(rig.window.instructions, kInstructionsEnglish);
    EXPECT_TRUE(rig.window.buttonEnabled);
}

TEST(HotPlug, UnplugAndPlugWhileIdle)
{
    DialogRig rig(Version(1, 2));
    rig.Init();
    rig.window.ClearEvents();
    rig.backend.Unplug();
    EXPECT_TRUE(rig.dialog->OnDeviceChange(0x8004));
    EXPECT_EQ(rig.window.Events(), (std::vector<std::string>{"button off", std::string("title ") + kProductTitle}));
    EXPECT_EQ(rig.window.debugLines, std::vector<std::string>{kProductTitle});

    rig.window.ClearEvents();
    rig.backend.Plug();
    rig.dialog->OnDeviceChange(0x8000);
    rig.window.RunPosted();
    EXPECT_EQ(rig.window.Events(), (std::vector<std::string>{"button on", std::string("title ") + kProductTitle +
                                                                              " (Device: v1.2)\n"}));
}

TEST(HotPlug, OtherDevicesComingAndGoing)
{
    DialogRig rig;
    rig.Init();
    rig.controller.ClearLog();
    rig.window.ClearEvents();
    rig.backend.AddOtherInterface({"sim:mouse", 0x845E, 0x0001});
    rig.dialog->OnDeviceChange(0x8000);  // another arrival: the controller is queried again
    EXPECT_EQ(VersionRequests(rig.controller), 1u);
    rig.window.ClearEvents();
    rig.dialog->OnDeviceChange(0x8004);  // another removal: nothing changes
    EXPECT_TRUE(rig.window.Events().empty());
    rig.dialog->OnDeviceChange(0x8001);
    rig.dialog->OnDeviceChange(0x0018);
    EXPECT_TRUE(rig.window.Events().empty());
    EXPECT_EQ(VersionRequests(rig.controller), 1u);
    EXPECT_TRUE(rig.dialog->OnDeviceChange(0xFFFF0001));
}

TEST(HotPlug, DevNodesChangedButtonRule)
{
    {
        DialogRig rig;
        rig.Init();
        rig.window.ClearEvents();
        rig.dialog->OnDeviceChange(0x10007);  // only the low 16 bits count
        EXPECT_EQ(rig.window.Events(), std::vector<std::string>{"button on"});
        rig.backend.Unplug();
        rig.window.ClearEvents();
        rig.dialog->OnDeviceChange(7);
        EXPECT_EQ(rig.window.Events(), (std::vector<std::string>{"button off", std::string("title ") + kProductTitle}));
        // Plugged back, event 7 first: enabled on the version read before; the arrival re-reads it.
        rig.backend.Plug();
        rig.window.ClearEvents();
        rig.dialog->OnDeviceChange(7);
        EXPECT_EQ(rig.window.Events(), std::vector<std::string>{"button on"});
    }
    {
        sim::SimFaults faults;
        faults.rules.push_back(sim::Fault(FaultKind::DropReply, kVersionRequest));
        DialogRig rig({}, faults);
        rig.Init();
        rig.window.ClearEvents();
        rig.dialog->OnDeviceChange(7);  // version never read: left alone
        EXPECT_TRUE(rig.window.Events().empty());
    }
}

// Holds the update worker inside its confirmation box until released, so the
// test can act as the window thread while an update runs.
class HeldConfirmation {
public:
    explicit HeldConfirmation(testing::RecordingWindow& window)
    {
        window.onMessage = [this](const std::string& text) {
            if (text.rfind("firmware", 0) != 0)
                return;
            std::unique_lock lock(mutex_);
            held_ = true;
            changed_.notify_all();
            changed_.wait(lock, [this] { return released_; });
        };
    }
    void WaitUntilHeld()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return held_; });
    }
    void Release()
    {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
    bool released_ = false;
};

TEST(HotPlug, ArrivalDuringAnUpdateIsDeferredUntilItHasEnded)
{
    DialogRig rig;
    rig.Init();
    HeldConfirmation held(rig.window);
    rig.window.chosenFile = rig.WriteFile("fw.dat", SampleFirmware(4096, 0, 10));
    rig.dialog->OnUpdateButtonClicked();
    held.WaitUntilHeld();

    rig.controller.ClearLog();
    rig.window.ClearEvents();
    rig.dialog->OnDeviceChange(0x8000);
    rig.dialog->OnDeviceChange(7);
    EXPECT_EQ(VersionRequests(rig.controller), 0u);
    EXPECT_TRUE(rig.window.EventsStartingWith("button").empty());
    EXPECT_FALSE(rig.dialog->OnCloseRequested());  // the close rule
    EXPECT_EQ(rig.window.EventsStartingWith("message"),
              std::vector<std::string>{std::string("message ") + kTextCloseRefused});
    rig.dialog->OnUpdateButtonClicked();  // a stray press does nothing
    EXPECT_TRUE(rig.window.EventsStartingWith("choose").empty());

    held.Release();
    rig.dialog->WaitForUpdateWorker();
    EXPECT_EQ(rig.dialog->lastUpdateEnd(), UpdateEnd::Succeeded);
    EXPECT_TRUE(rig.dialog->OnCloseRequested());
    // The controller restarted after the update; once back, the deferred query runs.
    rig.clock.SleepMs(rig.controller.config().restartMs);
    rig.window.RunPosted();
    EXPECT_EQ(VersionRequests(rig.controller), 1u);
    EXPECT_TRUE(rig.window.buttonEnabled);
}

TEST(HotPlug, ControllerGoneAfterTheUpdateLeavesTheButtonDisabled)
{
    DialogRig rig;
    rig.Init();
    rig.Update(rig.WriteFile("fw.dat", SampleFirmware(4096, 0, 10)));
    // The worker enabled the button at its end; the controller is restarting.
    EXPECT_FALSE(rig.window.buttonEnabled);
    EXPECT_EQ(rig.window.title, kProductTitle);
    rig.clock.SleepMs(rig.controller.config().restartMs);
    rig.dialog->OnDeviceChange(0x8000);
    rig.window.RunPosted();
    EXPECT_TRUE(rig.window.buttonEnabled);
    EXPECT_EQ(rig.window.title, std::string(kProductTitle) + " (Device: v1.0)\n");
}

TEST(FileChoice, CancelAndUnopenableFilesStartNothing)
{
    DialogRig rig;
    rig.Init();
    rig.window.ClearEvents();
    rig.window.chosenFile.reset();
    rig.dialog->OnUpdateButtonClicked();
    EXPECT_EQ(rig.window.Events(), (std::vector<std::string>{"label hide", "choose"}));
    EXPECT_EQ(rig.window.lastStartFolder, std::filesystem::current_path().string());

    rig.window.chosenFile = rig.temp.File("missing.dat");
    rig.dialog->OnUpdateButtonClicked();
    EXPECT_FALSE(rig.dialog->firmwareFile.IsOpen());
    EXPECT_EQ(rig.dialog->firmwarePath, rig.temp.File("missing.dat"));
    EXPECT_EQ(rig.dialog->lastUpdateEnd(), UpdateEnd::None);
}

TEST(FileChoice, FileShorterThanItsHeaderIsRefusedAndClosed)
{
    DialogRig rig;
    rig.Init();
    rig.window.ClearEvents();
    const std::string path = rig.WriteFile("short.dat", std::vector<uint8_t>(27, 0x11));
    rig.window.chosenFile = path;
    rig.dialog->OnUpdateButtonClicked();
    EXPECT_EQ(rig.window.EventsStartingWith("message"), std::vector<std::string>{"message 文件不匹配"});
    EXPECT_EQ(rig.window.captions, std::vector<std::string>{kProductTitle});
    EXPECT_FALSE(rig.dialog->firmwareFile.IsOpen());
    EXPECT_EQ(rig.dialog->lastUpdateEnd(), UpdateEnd::None);

    // Exactly 28 bytes: a worker starts; its procedure finds no section 2 header.
    std::vector<uint8_t> header = SampleFirmware(0, 0, 0);
    header.resize(28);
    rig.Update(rig.WriteFile("header.dat", header));
    EXPECT_EQ(rig.dialog->lastUpdateEnd(), UpdateEnd::InvalidFile);
}

TEST(FileChoice, PressHidesTheSuccessTextBeforeTheDialogOpens)
{
    DialogRig rig;
    rig.Init();
    rig.Update(rig.WriteFile("fw.dat", SampleFirmware(100, 0, 10)));
    ASSERT_EQ(rig.window.EventsStartingWith("label").back(), "label show");
    rig.window.ClearEvents();
    rig.window.chosenFile.reset();
    rig.dialog->OnUpdateButtonClicked();
    EXPECT_EQ(rig.window.Events(), (std::vector<std::string>{"label hide", "choose"}));
}

}  // namespace
}  // namespace vornak
