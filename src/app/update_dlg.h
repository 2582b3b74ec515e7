#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "app/window_ops.h"
#include "image/firmware_file.h"
#include "image/firmware_header.h"
#include "link/chid.h"
#include "link/clock.h"
#include "procedures/update_procedure.h"
#include "procedures/update_state.h"
#include "protocol/flash_commands.h"
#include "texts/texts.h"

namespace vornak {

struct DialogEnvironment {
    WindowOps& ops;
    HidBackend& backend;
    Clock& clock;
    UiLanguageSource uiLanguage;
    // One line shown under the instructions when the controller is attached but
    // cannot be opened (on Linux it names the udev rule); empty: no hint.
    std::string accessHint;
};

// The main dialog's logic, with no window: the front ends implement WindowOps
// and forward their events to the handlers below.
class CUpdateDlg {
public:
    explicit CUpdateDlg(DialogEnvironment environment);
    virtual ~CUpdateDlg();
    CUpdateDlg(const CUpdateDlg&) = delete;
    CUpdateDlg& operator=(const CUpdateDlg&) = delete;

    // Handlers; window thread.
    bool OnInitDialog(NotifyWindow window = nullptr);
    void OnUpdateButtonClicked();
    bool OnDeviceChange(uint32_t event, const void* data = nullptr);
    // The close rule: true when the window may close now. While an update runs
    // the close is refused with a message, so the worker never loses the dialog
    // or the link, and the window thread never waits for it.
    bool OnCloseRequested();

    // Operations.
    void QueryDeviceVersion();
    int SendVersionRequest();
    void RunFirmwareUpdateIfIdle();
    void RunFirmwareUpdate();
    std::string LoadText(int index) const;

    // True from the start of an update worker until it has finished, including
    // the closing steps that follow the clearing of updateRunning.
    bool UpdateActive() const;
    // For front ends without an event loop (the command line): waits for the
    // worker. Never called from the window thread of an event-driven front end.
    void WaitForUpdateWorker();

    UpdateEnd lastUpdateEnd() const { return lastEnd_.load(); }
    UpdateStats lastUpdateStats() const;

    CHid hidLink;
    std::string versionTitle;
    std::atomic<uint32_t> singleNumberVersion{0};
    FirmwareFileHeader firmwareFileHeader;
    zr_firmware_header section2Header;
    zr_firmware_header section3Header;
    std::string firmwarePath;
    FirmwareFile firmwareFile;
    UpdateState state;
    FlashCommands flashCommands;

private:
    int FindController();
    void ApplyButtonRule();
    void UpdateAccessHint();
    void RunDeferredQuery();
    void WorkerMain();

    WindowOps& ops_;
    UiLanguageSource uiLanguage_;
    std::string accessHint_;
    std::string instructions_;
    bool hintShown_ = false;
    std::thread worker_;
    std::atomic<bool> workerActive_{false};
    std::atomic<bool> queryDeferred_{false};
    std::atomic<UpdateEnd> lastEnd_{UpdateEnd::None};
    mutable std::mutex statsMutex_;
    UpdateStats stats_;
};

// The one dialog; set by its constructor. Thread entry functions reach the
// dialog only through it.
extern CUpdateDlg* mainDialog;

}  // namespace vornak
