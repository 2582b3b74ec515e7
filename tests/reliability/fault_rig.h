#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/update_dlg.h"
#include "image/firmware_builder.h"
#include "image_blocks.h"
#include "protocol/command_report.h"
#include "sim/sim_backend.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"
#include "texts/texts.h"

namespace vornak::reliability {

// Virtual time, like sim::VirtualClock, that turns a run which never ends into
// a crash of the one test process instead of a suite that hangs.
class WatchdogClock final : public Clock {
public:
    static constexpr uint64_t kHangMs = 3'600'000;  // an hour of virtual time

    uint64_t NowMs() override { return now_.load(); }
    void SleepMs(uint32_t ms) override
    {
        if ((now_ += ms) > kHangMs) {
            std::fprintf(stderr, "virtual time passed %llu ms: the run does not end\n",
                         static_cast<unsigned long long>(kHangMs));
            std::abort();
        }
    }

private:
    std::atomic<uint64_t> now_{0};
};

// The dialog against the simulated controller with a recording window.
struct FaultRig {
    FaultRig(sim::SimConfig config, sim::SimFaults faults)
        : controller(config, std::move(faults)), backend(controller, clock)
    {
        dialog = std::make_unique<CUpdateDlg>(
            DialogEnvironment{window, backend, clock, [] { return kLanguageEnglishUs; }, ""});
    }
    ~FaultRig() { dialog->WaitForUpdateWorker(); }

    // Opens the dialog (discovery and version query) and forgets what that sent.
    void Init()
    {
        dialog->OnInitDialog();
        window.RunPosted();
        controller.ClearLog();
        window.ClearEvents();
    }

    UpdateEnd Update(const std::vector<uint8_t>& file)
    {
        const std::string path = temp.File("firmware.dat");
        WriteBytesToFile(path, file);
        window.chosenFile = path;
        dialog->OnUpdateButtonClicked();
        dialog->WaitForUpdateWorker();
        window.RunPosted();
        return dialog->lastUpdateEnd();
    }

    bool Reported(const std::string& message)
    {
        for (const std::string& e : window.EventsStartingWith("message "))
            if (e == "message " + message)
                return true;
        return false;
    }

    WatchdogClock clock;
    sim::SimulatedController controller;
    sim::SimBackend backend;
    testing::RecordingWindow window;
    testing::TempDir temp;
    std::unique_ptr<CUpdateDlg> dialog;
};

// Commands that erase or write flash, as the controller received them.
inline size_t FlashChangingCommands(const sim::SimulatedController& controller)
{
    size_t n = 0;
    for (const sim::ReceivedCommand& c : controller.received())
        if (c.command == kEraseBlock || c.command == kWritePiece || c.command == kWriteChunk)
            ++n;
    return n;
}

}  // namespace vornak::reliability
