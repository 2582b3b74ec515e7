// The reply side: the update and the version query of the dialog against a
// simulated controller behind a link the fuzzer runs (see FuzzedLink).
//
// Input: byte 0 picks the controller's version form (bit 7) and which blocks
// of the image it already holds (bits 0..6); byte 1 is its head offset; the
// rest drives the link, reads from the front and requests from the back.
//
// Aborts when: a run takes longer in virtual time than its waits allow (a
// hang); success is reported without every block confirmed by a CompareBlock
// reply after its last erase or write; success is reported over a truthful
// link with any block wrong in flash; the dialog is left busy or locked.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

#include "app/update_dlg.h"
#include "fuzzed_link.h"
#include "image/byte_order.h"
#include "image/checksum.h"
#include "image/firmware_builder.h"
#include "procedures/version_query.h"
#include "protocol/report_exchange.h"
#include "reliability/image_blocks.h"
#include "support/recording_window.h"

namespace vornak::fuzz {
namespace {

constexpr uint32_t kSection2Base = 0x8000;
constexpr uint32_t kSection3Base = 0x10000;
constexpr uint32_t kBlock = 4096;

[[noreturn]] void Violation(const char* what)
{
    std::fprintf(stderr, "invariant violated: %s\n", what);
    std::abort();
}

// Virtual time with a limit: passing it means a wait that does not end.
class BoundedClock final : public Clock {
public:
    uint64_t NowMs() override { return now_; }
    void SleepMs(uint32_t ms) override
    {
        now_ += ms;
        if (now_ > limit_)
            Violation("the run outlasts every bounded wait");
    }
    void LimitTo(uint64_t ms) { limit_ = now_ + ms; }
    void Unlimit() { limit_ = UINT64_MAX; }

private:
    uint64_t now_ = 0;
    uint64_t limit_ = UINT64_MAX;
};

// Two-number form: three blocks of section 1 (the last one short) and one of
// section 2; single-number form: three blocks of section 3.
const std::vector<uint8_t>& Firmware()
{
    static const std::vector<uint8_t> file = [] {
        const SectionSource sections[3] = {
            {2, 0x13, 0, gamepad_type, PatternData(2 * kBlock + 300, 1)},
            {17, 0, kSection2Base, 0, PatternData(kBlock, 2)},
            {300, 0, kSection3Base, 0, PatternData(3 * kBlock, 3)},
        };
        return BuildFirmwareFile(sections);
    }();
    return file;
}

// A file in the temp folder for the life of the process.
struct ScratchFile {
    explicit ScratchFile(const std::string& name)
        : path((std::filesystem::temp_directory_path() / (name + std::to_string(getpid()) + ".dat")).string())
    {
    }
    ~ScratchFile()
    {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
    const std::string path;
};

const std::string& FirmwarePath()
{
    static const ScratchFile file("vornak-fuzz-replies-");
    static const bool written = WriteBytesToFile(file.path, Firmware());
    if (!written)
        Violation("cannot write the firmware file");
    return file.path;
}

// The longest an update can take when every wait runs to its bound.
uint64_t UpdateBoundMs(size_t blocks)
{
    const uint64_t read = kOpenTimeoutMs;
    const uint64_t twentyReads = uint64_t{kAcknowledgeReads} * read;
    const uint64_t writePass = read + kEraseReplyWaitMs + read + 2 * twentyReads +
                               uint64_t{kChunkCount} * kChunkSendAttempts * twentyReads;
    const uint64_t closing = read + 2 * read + read + kEndUpdatePauseMs + read;
    return kGetFlashLayoutPauseMs + read + blocks * (writePass + read) + closing;
}

// Every block must have been confirmed: a CompareBlock request for its address
// whose read brought a matching reply with the block's checksum, after the
// last request that erased or wrote into it.
bool EveryBlockConfirmed(const std::vector<LinkEvent>& events, const std::vector<reliability::ImageBlock>& blocks)
{
    std::map<uint32_t, uint16_t> crcOf;
    for (const reliability::ImageBlock& b : blocks)
        crcOf[b.address] = Crc16(b.bytes.data(), static_cast<int32_t>(b.bytes.size()));
    std::map<uint32_t, bool> confirmed;
    auto blockOf = [&](uint32_t address) -> std::optional<uint32_t> {
        for (const auto& [base, crc] : crcOf)
            if (address >= base && address - base < kBlock)
                return base;
        return std::nullopt;
    };
    std::optional<uint32_t> writing;  // the block the chunks go to
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i].kind != LinkEvent::Request)
            continue;
        const sim::Report& r = events[i].bytes;
        if (r[0] != kReportMarker)
            continue;
        const uint32_t address = LoadLe32(&r[13]);
        if (r[1] == kEraseBlock) {
            const uint64_t end = uint64_t{address} + LoadLe32(&r[9]);
            for (const auto& [base, crc] : crcOf)
                if (base < end && address < uint64_t{base} + kBlock)
                    confirmed[base] = false;
            writing.reset();
        } else if (r[1] == kWritePiece) {
            writing = blockOf(address);
            if (writing)
                confirmed[*writing] = false;
        } else if (r[1] == kWriteChunk) {
            if (writing)
                confirmed[*writing] = false;
        } else if (r[1] == kCompareBlock && i + 1 < events.size() && events[i + 1].kind == LinkEvent::Reply) {
            const sim::Report& reply = events[i + 1].bytes;
            const auto crc = crcOf.find(address);
            if (crc != crcOf.end() && ReplyAnswers(reply, kCompareBlock) && LoadLe32(&reply[14]) == address &&
                LoadLe16(&reply[18]) == crc->second)
                confirmed[address] = true;
        }
    }
    for (const auto& [base, crc] : crcOf)
        if (!confirmed[base])
            return false;
    return true;
}

void CheckVersionTitle(CUpdateDlg& dialog, testing::RecordingWindow& window)
{
    const uint32_t beta = dialog.state.deviceBeta.load();
    if (beta != 0 && (beta > 15 || beta % 2 == 0))
        Violation("deviceBeta outside 0 and the odd numbers up to 15");
    if (dialog.state.deviceVersion.load() == kVersionNotRead)
        return;
    const std::string& title = window.title;
    if (title.rfind("Vornak Update v2.16 (Device: v", 0) != 0 || title.size() < 3 ||
        title.compare(title.size() - 2, 2, ")\n") != 0)
        Violation("version title out of format");
}

void RunOne(std::span<const uint8_t> data)
{
    if (data.size() < 2)
        return;
    const uint8_t setup = data[0];
    sim::SimConfig config;
    config.flashSize = kSection3Base + 4 * kBlock;
    config.headOffset = data[1];
    config.version.singleNumber = (setup & 0x80) != 0;
    sim::SimulatedController controller(config);
    BoundedClock clock;
    InputStream input(data.subspan(2));
    FuzzedLink link(controller, clock, input);
    testing::RecordingWindow window;
    CUpdateDlg dialog(DialogEnvironment{window, link, clock, [] { return kLanguageEnglishUs; }, ""});

    dialog.OnInitDialog();
    window.RunPosted();
    CheckVersionTitle(dialog, window);

    const FirmwareForm form =
        dialog.singleNumberVersion.load() != 0 ? FirmwareForm::SingleNumber : FirmwareForm::TwoNumber;
    const std::vector<reliability::ImageBlock> blocks =
        reliability::ExpectedBlocks(Firmware(), form, config.headOffset);
    for (size_t i = 0; i < blocks.size() && i < 7; ++i)
        if ((setup >> i) & 1)
            reliability::Preload(controller, blocks[i]);
    std::map<uint32_t, uint16_t> expected;
    for (const reliability::ImageBlock& b : blocks)
        expected[b.address] = Crc16(b.bytes.data(), static_cast<int32_t>(b.bytes.size()));
    link.SetLiar([&expected](sim::Report& reply) {
        const auto crc = expected.find(LoadLe32(&reply[14]));
        if (ReplyAnswers(reply, kCompareBlock) && crc != expected.end())
            StoreLe16(&reply[18], crc->second);
    });

    clock.LimitTo(UpdateBoundMs(blocks.size()));
    window.chosenFile = FirmwarePath();
    dialog.OnUpdateButtonClicked();
    dialog.WaitForUpdateWorker();
    clock.Unlimit();

    const UpdateEnd end = dialog.lastUpdateEnd();
    if (end != UpdateEnd::SilentStop && end != UpdateEnd::InvalidFile && end != UpdateEnd::Failed &&
        end != UpdateEnd::Succeeded)
        Violation("an update of a valid file ended in no update end");
    if (dialog.UpdateActive() || dialog.state.updateRunning.load() != 0 || dialog.firmwareFile.IsOpen() ||
        !window.buttonEnabled)
        Violation("the dialog is left busy after the update");
    const std::vector<std::string> successes = window.EventsStartingWith("message Updated successful!");
    if (successes.size() != (end == UpdateEnd::Succeeded ? 1u : 0u))
        Violation("success message and update end disagree");
    if (end == UpdateEnd::Succeeded) {
        if (!EveryBlockConfirmed(link.events(), blocks))
            Violation("success without every block confirmed after its last write");
        if (link.truthful() && !reliability::DifferingBlocks(controller, blocks).empty())
            Violation("success over a truthful link with a block wrong in flash");
    }

    // The controller comes back from its restart; the arrival queries it again.
    window.RunPosted();
    controller.FinishRestart();
    dialog.OnDeviceChange(0x8000);
    window.RunPosted();
    CheckVersionTitle(dialog, window);
}

}  // namespace
}  // namespace vornak::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vornak::fuzz::RunOne({data, size});
    return 0;
}
