#include "cli/update_command.h"

#include <cstdio>

#include "cli/controller_session.h"
#include "cli/file_access.h"
#include "image/firmware_file.h"

namespace vornak::cli {
namespace {

const char* FormName(FirmwareForm form)
{
    return form == FirmwareForm::SingleNumber ? "single-number form (section 3)" : "two-number form (sections 1 and 2)";
}

// Without a version the controller's form is unknown, and the flasher does not guess it.
std::optional<ExitCode> ChooseForm(ControllerSession& session, const UpdateOptions& options, FirmwareForm& form)
{
    const std::string path = session.dlg.hidLink.m_DevicePath;
    if (!session.versionRead()) {
        if (!options.form) {
            session.window.Note("vornak-flash: the controller at " + path +
                                " did not report its firmware version, so it is unknown which image it takes; "
                                "pass --form two (sections 1 and 2) or --form single (section 3)");
            return kExitUsage;
        }
        form = *options.form;
        session.dlg.singleNumberVersion = form == FirmwareForm::SingleNumber ? 1 : 0;
        return std::nullopt;
    }
    form = session.dlg.singleNumberVersion.load() != 0 ? FirmwareForm::SingleNumber : FirmwareForm::TwoNumber;
    if (options.form && *options.form != form) {
        session.window.Note(std::string("vornak-flash: --form contradicts the controller, which takes the ") +
                            FormName(form));
        return kExitUsage;
    }
    return std::nullopt;
}

FirmwareSections SectionsOf(const CUpdateDlg& dlg)
{
    FirmwareSections sections;
    sections.header[0] = dlg.firmwareFileHeader;
    sections.header[1] = dlg.section2Header;
    sections.header[2] = dlg.section3Header;
    return sections;
}

uint64_t FileSize(const std::string& path)
{
    FirmwareFile file;
    return file.Open(path) ? file.Size() : 0;
}

// The window says only "文件不匹配" or nothing; the terminal can say what is wrong.
std::string Explain(const CUpdateDlg& dlg, const UpdateOutcome& outcome, FirmwareForm form,
                    const std::string& path)
{
    char text[160];
    switch (outcome.end) {
    case UpdateEnd::None:
        return path + ": shorter than a section header (28 bytes)";
    case UpdateEnd::InvalidFile: {
        const FileCheck check = CheckSections(SectionsOf(dlg), FileSize(path));
        return path + ": " + (check.ok() ? "its images do not fit the controller's flash layout" : check.Describe());
    }
    case UpdateEnd::SilentStop:
        if (outcome.wrongPid) {
            std::snprintf(text, sizeof text, ": not a file for this controller (pid 0x%04x, this controller takes 0x%04x)",
                          dlg.firmwareFileHeader.pid, gamepad_type);
            return path + text;
        }
        if (outcome.emptyMainSection)
            return path + ": section " + (form == FirmwareForm::SingleNumber ? "3" : "1") + " carries no data";
        return "the controller gave no usable flash layout (no answer to GetFlashLayout, or a block size "
               "other than 4096)";
    case UpdateEnd::NotRecognised:
        return "no controller was recognised";
    case UpdateEnd::Cancelled:
        return "cancelled; nothing was written";
    case UpdateEnd::Failed:
    case UpdateEnd::Succeeded:
        break;
    }
    return {};
}

void ReportStats(TerminalWindow& window, const UpdateStats& stats)
{
    window.Note("vornak-flash: " + std::to_string(stats.blocksWritten) + " of " + std::to_string(stats.blocksTotal) +
                " blocks written, " + std::to_string(stats.blocksMatched) + " already matched");
}

}  // namespace

int RunUpdate(const UpdateOptions& options, const FlasherEnvironment& environment)
{
    if (const std::string why = WhyUnreadable(options.file); !why.empty()) {
        environment.terminal.err << "vornak-flash: " << why << '\n';
        return kExitInvalidFile;
    }
    ConnectionError error;
    const std::unique_ptr<DeviceConnection> connection = DeviceConnection::Open(options.device, environment.clock, error);
    if (!connection) {
        environment.terminal.err << "vornak-flash: " << error.message << '\n';
        return error.code;
    }
    ControllerSession session(environment, *connection, {options.assumeYes, options.verbose});
    session.Start();
    if (session.presence() != ControllerPresence::Found)
        return session.ReportMissing();

    FirmwareForm form = FirmwareForm::TwoNumber;
    if (const std::optional<ExitCode> refused = ChooseForm(session, options, form))
        return *refused;
    if (session.versionRead())
        session.window.Note("vornak-flash: " + session.Title() + " at " + session.dlg.hidLink.m_DevicePath);
    else
        session.window.Note("vornak-flash: controller at " + session.dlg.hidLink.m_DevicePath +
                            ", version not reported; writing the " + FormName(form) + " as --form says");

    session.window.SetChosenFile(options.file);
    session.dlg.OnUpdateButtonClicked();
    session.window.RunPosted();
    session.dlg.WaitForUpdateWorker();
    session.window.RunPosted();

    CUpdateDlg& dlg = session.dlg;
    UpdateOutcome outcome{dlg.lastUpdateEnd(), dlg.firmwareFileHeader.pid != gamepad_type,
                          (form == FirmwareForm::SingleNumber ? dlg.section3Header : dlg.firmwareFileHeader)
                                  .fileContent == 0};
    if (const std::string why = Explain(dlg, outcome, form, options.file); !why.empty())
        session.window.Note("vornak-flash: " + why);
    if (outcome.end == UpdateEnd::Failed || outcome.end == UpdateEnd::Succeeded)
        ReportStats(session.window, dlg.lastUpdateStats());

    std::string saveError;
    if (!connection->SaveState(saveError))
        session.window.Note("vornak-flash: " + saveError);
    return ExitCodeForUpdate(outcome);
}

}  // namespace vornak::cli
