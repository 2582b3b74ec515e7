#include "app/update_dlg.h"

#include <array>
#include <filesystem>

#include "procedures/version_query.h"

namespace vornak {

CUpdateDlg* mainDialog = nullptr;

namespace {

constexpr uint32_t kEventDevNodesChanged = 0x0007;
constexpr uint32_t kEventDeviceArrival = 0x8000;
constexpr uint32_t kEventDeviceRemoveComplete = 0x8004;

// The file dialog's start folder is read into a buffer of this many characters;
// a longer current directory leaves the platform's default.
constexpr size_t kFolderBufferChars = 256;

std::string StartFolder()
{
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    if (ec)
        return {};
    const std::u8string text = cwd.u8string();
    if (text.size() >= kFolderBufferChars)
        return {};
    return std::string(text.begin(), text.end());
}

}  // namespace

CUpdateDlg::CUpdateDlg(DialogEnvironment environment)
    : hidLink(environment.backend),
      flashCommands(hidLink, environment.clock),
      ops_(environment.ops),
      uiLanguage_(std::move(environment.uiLanguage)),
      accessHint_(std::move(environment.accessHint))
{
    hidLink.SetDebugOutput([this](const std::string& line) { ops_.DebugOutput(line); });
    mainDialog = this;
}

CUpdateDlg::~CUpdateDlg()
{
    WaitForUpdateWorker();
    if (mainDialog == this)
        mainDialog = nullptr;
}

std::string CUpdateDlg::LoadText(int index) const { return vornak::LoadText(index, uiLanguage_()); }

bool CUpdateDlg::UpdateActive() const { return state.updateRunning.load() != 0 || workerActive_.load(); }

UpdateStats CUpdateDlg::lastUpdateStats() const
{
    std::lock_guard lock(statsMutex_);
    return stats_;
}

bool CUpdateDlg::OnInitDialog(NotifyWindow window)
{
    if (uiLanguage_() != kLanguageChinesePrc)
        ops_.SetInstructionText(kInstructionsEnglish);
    ops_.ShowSuccessLabel(false);
    ops_.SetProgress(0);
    hidLink.m_hNotifyWnd = window;
    state.deviceVersion = kVersionNotRead;
    if (FindController() == 1) {
        QueryDeviceVersion();
        ApplyButtonRule();
    } else {
        ops_.EnableUpdateButton(false);
    }
    ops_.SetTitle(LoadText(kTextProductTitle));
    return true;
}

int CUpdateDlg::FindController()
{
    const int found = hidLink.IsDevicePresent();
    UpdateAccessHint();
    return found;
}

void CUpdateDlg::ApplyButtonRule()
{
    if (!UpdateActive() && state.deviceVersion.load() != kVersionNotRead)
        ops_.EnableUpdateButton(true);
}

void CUpdateDlg::UpdateAccessHint()
{
    const std::string& denied = hidLink.accessDeniedPath();
    if (!denied.empty())
        ops_.DebugOutput("cannot open " + denied + ": permission denied\n");
    const bool show = !denied.empty() && !accessHint_.empty();
    if (show == hintShown_)
        return;
    hintShown_ = show;
    std::string text = InstructionsFor(uiLanguage_());
    if (show)
        text += "\r\n\r\n" + accessHint_;
    ops_.SetInstructionText(text);
}

void CUpdateDlg::QueryDeviceVersion()
{
    VersionQueryContext context{ops_, hidLink, flashCommands.exchange, state, singleNumberVersion,
                                LoadText(kTextProductTitle)};
    const std::string title = vornak::QueryDeviceVersion(context);
    if (title.empty())
        return;
    versionTitle = title;
    // Lands after the running handler has returned, so it wins over a title
    // that handler sets later.
    ops_.PostToWindowThread([&ops = ops_, title] { ops.SetTitle(title); });
}

int CUpdateDlg::SendVersionRequest() { return vornak::SendVersionRequest(hidLink); }

bool CUpdateDlg::OnDeviceChange(uint32_t event, const void* /*data*/)
{
    const uint32_t type = event & 0xFFFF;
    if (type != kEventDevNodesChanged && type != kEventDeviceArrival && type != kEventDeviceRemoveComplete)
        return true;
    const bool found = FindController() == 1;
    if (type == kEventDevNodesChanged) {
        if (found) {
            ApplyButtonRule();
        } else {
            ops_.EnableUpdateButton(false);
            ops_.SetTitle(LoadText(kTextProductTitle));
        }
    } else if (type == kEventDeviceArrival && found) {
        // The query would share the link and replyBuffer with the running
        // update; it runs once the worker has ended.
        if (UpdateActive())
            queryDeferred_ = true;
        else
            QueryDeviceVersion();
    } else if (type == kEventDeviceRemoveComplete && !found) {
        ops_.EnableUpdateButton(false);
        ops_.DebugOutput(LoadText(kTextProductTitle));
        ops_.SetTitle(LoadText(kTextProductTitle));
    }
    return true;
}

void CUpdateDlg::OnUpdateButtonClicked()
{
    // A stray press during an update must not reopen the file under the worker.
    if (UpdateActive())
        return;
    ops_.ShowSuccessLabel(false);
    const std::optional<std::string> chosen =
        ops_.ChooseFirmwareFile(LoadText(kTextFileType) + kTextFileFilterSuffix, StartFolder());
    if (!chosen)
        return;
    firmwarePath = *chosen;
    if (!firmwareFile.Open(firmwarePath)) {
        ops_.DebugOutput("cannot open firmware file " + firmwarePath + "\n");
        return;
    }
    std::array<uint8_t, kSectionHeaderSize> bytes{};
    if (firmwareFile.ReadAt(0, bytes) != bytes.size()) {
        // Closed, so the same file can be chosen again.
        firmwareFile.Close();
        ops_.ShowMessage(kTextFileMismatch, LoadText(kTextProductTitle), MessageButtons::Ok);
        return;
    }
    firmwareFileHeader = zr_firmware_header::Decode(bytes);
    WaitForUpdateWorker();  // the previous worker has already ended its work
    workerActive_ = true;
    worker_ = std::thread([] { mainDialog->WorkerMain(); });
}

void CUpdateDlg::WorkerMain()
{
    RunFirmwareUpdateIfIdle();
    workerActive_ = false;
    ops_.PostToWindowThread([] {
        if (mainDialog != nullptr)
            mainDialog->RunDeferredQuery();
    });
}

void CUpdateDlg::RunDeferredQuery()
{
    if (UpdateActive())
        return;
    const bool deferred = queryDeferred_.exchange(false);
    // The worker re-enables the button at its end; a controller that left
    // during the update must not leave it enabled.
    if (FindController() != 1) {
        ops_.EnableUpdateButton(false);
        ops_.SetTitle(LoadText(kTextProductTitle));
    } else if (deferred) {
        QueryDeviceVersion();
    }
}

void CUpdateDlg::RunFirmwareUpdateIfIdle()
{
    uint32_t idle = 0;
    if (!state.updateRunning.compare_exchange_strong(idle, 1))
        return;
    RunFirmwareUpdate();
}

void CUpdateDlg::RunFirmwareUpdate()
{
    UpdateContext context{ops_,  flashCommands,       firmwareFile,       hidLink,
                          state, singleNumberVersion, firmwareFileHeader, section2Header,
                          section3Header, [this](int index) { return LoadText(index); }};
    const UpdateResult result = vornak::RunFirmwareUpdate(context);
    {
        std::lock_guard lock(statsMutex_);
        stats_ = result.stats;
    }
    lastEnd_ = result.end;
}

bool CUpdateDlg::OnCloseRequested()
{
    if (!UpdateActive())
        return true;
    ops_.ShowMessage(kTextCloseRefused, LoadText(kTextProductTitle), MessageButtons::Ok);
    return false;
}

void CUpdateDlg::WaitForUpdateWorker()
{
    if (worker_.joinable())
        worker_.join();
}

}  // namespace vornak
