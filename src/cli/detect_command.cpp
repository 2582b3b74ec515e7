#include "cli/detect_command.h"

#include <ostream>

#include "cli/controller_session.h"

namespace vornak::cli {

int RunDetect(const DetectOptions& options, const FlasherEnvironment& environment)
{
    ConnectionError error;
    const std::unique_ptr<DeviceConnection> connection = DeviceConnection::Open(options.device, environment.clock, error);
    if (!connection) {
        environment.terminal.err << "vornak-flash: " << error.message << '\n';
        return error.code;
    }
    ControllerSession session(environment, *connection, {.assumeYes = false, .verbose = options.verbose});
    session.Start();
    if (session.presence() != ControllerPresence::Found)
        return session.ReportMissing();
    environment.terminal.out << session.dlg.hidLink.m_DevicePath << '\n' << session.Title() << '\n' << std::flush;
    if (!session.versionRead())
        session.window.Note("vornak-flash: the controller did not report its firmware version");
    return kExitSuccess;
}

}  // namespace vornak::cli
