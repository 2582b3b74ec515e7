#pragma once

#include <string>

#include "app/update_dlg.h"
#include "cli/device_connection.h"
#include "cli/exit_codes.h"
#include "cli/flasher_environment.h"
#include "cli/terminal_window.h"

namespace vornak::cli {

enum class ControllerPresence { Found, AccessDenied, Absent };

// The dialog logic on a terminal, as detect and update share it: the window
// operations, the dialog, and its initialisation (discovery and the version query).
class ControllerSession {
public:
    ControllerSession(const FlasherEnvironment& environment, DeviceConnection& connection,
                      TerminalOptions options);

    // OnInitDialog, then the tasks it posted, as the window thread would run them.
    void Start();

    ControllerPresence presence() const;
    bool versionRead() const;
    // The window title (the version title once the version was read) without its line feed.
    std::string Title();

    // Says on standard error why there is no controller to talk to.
    ExitCode ReportMissing();

    TerminalWindow window;
    CUpdateDlg dlg;

private:
    DeviceConnection& connection_;
};

}  // namespace vornak::cli
