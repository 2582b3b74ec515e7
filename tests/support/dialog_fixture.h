#pragma once

#include <memory>
#include <string>

#include "app/update_dlg.h"
#include "image/firmware_builder.h"
#include "sim/sim_backend.h"
#include "sim/virtual_clock.h"
#include "support/recording_window.h"
#include "support/temp_dir.h"
#include "texts/texts.h"

namespace vornak::testing {

// A dialog wired to the simulated controller, a virtual clock and a recording
// window: the whole system with no window and no device.
struct DialogRig {
    explicit DialogRig(sim::SimConfig config = {}, sim::SimFaults faults = {},
                       uint16_t language = kLanguageEnglishUs)
        : controller(config, std::move(faults)), backend(controller, clock), language_(language)
    {
        dialog = std::make_unique<CUpdateDlg>(
            DialogEnvironment{window, backend, clock, [this] { return language_; }, "access hint"});
    }
    ~DialogRig()
    {
        if (dialog)
            dialog->WaitForUpdateWorker();
    }

    void SetLanguage(uint16_t language) { language_ = language; }

    // Opens the dialog and lets posted work (the version title) land.
    void Init()
    {
        dialog->OnInitDialog();
        window.RunPosted();
    }

    // Picks path in the file dialog, runs the update to its end and lets the
    // posted work after it land.
    void Update(const std::string& path)
    {
        window.chosenFile = path;
        dialog->OnUpdateButtonClicked();
        dialog->WaitForUpdateWorker();
        window.RunPosted();
    }

    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const std::string path = temp.File(name);
        WriteBytesToFile(path, bytes);
        return path;
    }

    sim::VirtualClock clock;
    sim::SimulatedController controller;
    sim::SimBackend backend;
    RecordingWindow window;
    TempDir temp;
    std::unique_ptr<CUpdateDlg> dialog;

private:
    uint16_t language_;
};

// A two-number file: section 1 of s1 bytes, section 2 of s2 bytes at 0x40000,
// section 3 of s3 bytes at 0x80000; versions 1.5 and single 300.
inline std::vector<uint8_t> SampleFirmware(size_t s1, size_t s2, size_t s3, uint32_t pid = 0x200F)
{
    const SectionSource sections[3] = {
        {1, 0, 0, pid, PatternData(s1, 11)},
        {5, 0, 0x40000, 0, PatternData(s2, 22)},
        {300, 0, 0x80000, 0, PatternData(s3, 33)},
    };
    return BuildFirmwareFile(sections);
}

}  // namespace vornak::testing
