#include "cli/controller_session.h"

namespace vornak::cli {
namespace {

constexpr const char* kBootModeHint =
    "Put the controller in boot mode (hold LB + RB + Home while switching it on) and connect it by USB.";
constexpr const char* kGenericAccessHint = "Run the flasher as a user who may open the controller's HID device.";

}  // namespace

ControllerSession::ControllerSession(const FlasherEnvironment& environment, DeviceConnection& connection,
                                     TerminalOptions options)
    : window(environment.terminal, environment.clock, options),
      dlg(DialogEnvironment{window, connection.backend(), environment.clock, environment.uiLanguage,
                            connection.accessHint()}),
      connection_(connection)
{
}

void ControllerSession::Start()
{
    dlg.OnInitDialog();
    window.RunPosted();
}

ControllerPresence ControllerSession::presence() const
{
    if (dlg.hidLink.deviceRecognised.load() != 0)
        return ControllerPresence::Found;
    return dlg.hidLink.accessDeniedPath().empty() ? ControllerPresence::Absent : ControllerPresence::AccessDenied;
}

bool ControllerSession::versionRead() const { return dlg.state.deviceVersion.load() != kVersionNotRead; }

std::string ControllerSession::Title()
{
    std::string title = window.title();
    while (!title.empty() && (title.back() == '\n' || title.back() == '\r'))
        title.pop_back();
    return title;
}

ExitCode ControllerSession::ReportMissing()
{
    if (presence() == ControllerPresence::AccessDenied) {
        window.Note("vornak-flash: a controller is attached at " + dlg.hidLink.accessDeniedPath() +
                    " but cannot be opened: permission denied");
        window.Note("Hint: " + (connection_.accessHint().empty() ? std::string(kGenericAccessHint)
                                                                 : connection_.accessHint()));
        return kExitNoController;
    }
    std::string line = "vornak-flash: no controller found (USB 2dc8:3014)";
    if (!connection_.absentReason().empty())
        line += ": " + connection_.absentReason();
    window.Note(line);
    window.Note(kBootModeHint);
    return kExitNoController;
}

}  // namespace vornak::cli
