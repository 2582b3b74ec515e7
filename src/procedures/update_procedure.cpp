#include "procedures/update_procedure.h"

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "image/byte_order.h"
#include "image/checksum.h"
#include "image/file_block_crc.h"
#include "image/firmware_layout.h"
#include "texts/texts.h"

namespace vornak {
namespace {

// The verification and the head check step by 4096 whatever the layout says,
// so only that block size keeps every block checked.
constexpr uint32_t kSupportedBlockSize = kFileBlockSize;
constexpr uint32_t kHeadBlocks = 2;

enum class PassEnd { Completed, Stopped, FileError };
enum class BlockWrite { Written, LeftErased, Failed };
enum class BlockCheck { Matches, Differs, Unanswered, FileError };

class UpdateRun {
public:
    explicit UpdateRun(UpdateContext& c) : c_(c) {}
    UpdateResult Run();

private:
    std::string Caption() const { return c_.loadText(kTextProductTitle); }
    FirmwareForm Form() const
    {
        return c_.singleNumberVersion.load() != 0 ? FirmwareForm::SingleNumber : FirmwareForm::TwoNumber;
    }
    void ReadSectionHeaders();
    UpdateResult Stop(UpdateEnd end);
    UpdateResult SilentStop(const std::string& reason);
    UpdateResult RefuseFile();
    UpdateResult Fail();
    UpdateResult Succeed();
    PassEnd WritePass(const FlashImage& image);
    BlockWrite WriteBlock(const FlashImage& image, uint32_t address);
    bool SendChunk(uint8_t index, std::span<const uint8_t, kChunkLength> chunk);
    BlockCheck CheckBlock(const FlashImage& image, uint64_t position, uint32_t address);
    std::optional<bool> VerifyBlocks(const FlashImage& image, uint32_t from, uint32_t to);
    void CountBlock(uint64_t& handled);
    std::vector<uint8_t> ImageInfoRecord() const;

    UpdateContext& c_;
    FirmwareSections sections_{};
    std::vector<FlashImage> images_;
    uint32_t blockSize_ = 0;
    uint64_t progressTotal_ = 0;
    uint64_t handledBefore_ = 0;  // bytes counted by the passes already ended
    uint32_t blocksCounted_ = 0;
    // The block last checked; a block that differs is sent from here.
    std::array<uint8_t, kFileBlockSize> block_{};
    // A compare left unanswered may still be answered later with the block's
    // old checksum. Once such a block has been erased or half written, no later
    // compare of it can be trusted, so the update cannot end in success.
    bool untrustworthyBlock_ = false;
    UpdateStats stats_;
};

void UpdateRun::ReadSectionHeaders()
{
    // A short read leaves zeros; the structure check below refuses such a file.
    sections_.header[0] = c_.header1;
    std::array<uint8_t, kSectionHeaderSize> bytes{};
    c_.file.ReadAt(sections_.HeaderOffset(2), bytes);
    c_.header2 = zr_firmware_header::Decode(bytes);
    sections_.header[1] = c_.header2;
    bytes.fill(0);
    c_.file.ReadAt(sections_.HeaderOffset(3), bytes);
    c_.header3 = zr_firmware_header::Decode(bytes);
    sections_.header[2] = c_.header3;
}

UpdateResult UpdateRun::Stop(UpdateEnd end)
{
    c_.file.Close();
    c_.ops.EnableUpdateButton(true);
    c_.state.updateRunning = 0;
    return {end, stats_};
}

UpdateResult UpdateRun::SilentStop(const std::string& reason)
{
    // No message box for these, by design; the debug output says why.
    c_.ops.DebugOutput("update stopped: " + reason + "\n");
    return Stop(UpdateEnd::SilentStop);
}

UpdateResult UpdateRun::RefuseFile()
{
    c_.ops.ShowMessage(kTextFileMismatch, Caption(), MessageButtons::Ok);
    return Stop(UpdateEnd::InvalidFile);
}

UpdateResult UpdateRun::Fail()
{
    c_.ops.ShowMessage(kTextUpdatedFailed, Caption(), MessageButtons::Ok);
    return Stop(UpdateEnd::Failed);
}

UpdateResult UpdateRun::Succeed()
{
    c_.state.updateRunning = 0;
    c_.flash.EndUpdate();
    c_.ops.SetProgress(0);
    c_.ops.ShowMessage(kTextUpdatedSuccessful, Caption(), MessageButtons::Ok);
    c_.ops.ShowSuccessLabel(true);
    c_.file.Close();
    c_.singleNumberVersion = 0;
    c_.ops.EnableUpdateButton(true);
    return {UpdateEnd::Succeeded, stats_};
}

void UpdateRun::CountBlock(uint64_t& handled)
{
    handled += blockSize_;
    ++blocksCounted_;
    const auto position = static_cast<int>((handledBefore_ + handled) * 100 / progressTotal_);
    c_.ops.SetProgress(position);
    c_.ops.ReportBlockProgress(
        {position, blocksCounted_, stats_.blocksTotal, stats_.blocksWritten, stats_.blocksMatched});
}

BlockCheck UpdateRun::CheckBlock(const FlashImage& image, uint64_t position, uint32_t address)
{
    const std::optional<uint16_t> crc = fileBlockCrc(c_.file, position, block_);
    if (!crc)
        return BlockCheck::FileError;
    bool answered = false;
    if (c_.flash.CompareBlock(image.imageLength, address, *crc, &answered))
        return BlockCheck::Matches;
    return answered ? BlockCheck::Differs : BlockCheck::Unanswered;
}

bool UpdateRun::SendChunk(uint8_t index, std::span<const uint8_t, kChunkLength> chunk)
{
    const uint8_t sum = Sum8(chunk.data(), static_cast<uint16_t>(chunk.size()));
    for (int attempt = 0; attempt < kChunkSendAttempts; ++attempt)
        if (c_.flash.WriteChunk(index, sum, chunk))
            return true;
    return false;
}

BlockWrite UpdateRun::WriteBlock(const FlashImage& image, uint32_t address)
{
    if (!c_.flash.WritePiece(block_.data(), address, kFirstPieceLength, image.imageLength))
        return BlockWrite::LeftErased;
    for (uint32_t i = 0; i < kChunkCount; ++i) {
        const std::span<const uint8_t, kChunkLength> chunk(block_.data() + kFirstPieceLength + kChunkLength * i,
                                                           kChunkLength);
        if (!SendChunk(static_cast<uint8_t>(i), chunk))
            return BlockWrite::Failed;
    }
    if (!c_.flash.WritePiece(block_.data() + kLastPieceOffset, address + kLastPieceOffset, kLastPieceLength,
                             image.imageLength))
        return BlockWrite::Failed;
    return BlockWrite::Written;
}

PassEnd UpdateRun::WritePass(const FlashImage& image)
{
    uint64_t handled = 0;
    PassEnd end = PassEnd::Completed;
    for (uint32_t k = 0; k < image.blockCount && end == PassEnd::Completed; ++k) {
        const uint32_t address = image.flashBase + k * blockSize_;
        const uint64_t position = image.firstFileByte + uint64_t{k} * blockSize_;
        const BlockCheck check = CheckBlock(image, position, address);
        if (check == BlockCheck::FileError) {
            end = PassEnd::FileError;
            break;
        }
        if (check == BlockCheck::Matches) {
            ++stats_.blocksMatched;
            CountBlock(handled);
            continue;
        }
        const bool lateReplyPossible = check == BlockCheck::Unanswered;
        if (!c_.flash.EraseBlock(address, blockSize_)) {
            untrustworthyBlock_ = untrustworthyBlock_ || lateReplyPossible;
            end = PassEnd::Stopped;
            break;
        }
        const BlockWrite written = WriteBlock(image, address);
        if (written != BlockWrite::Written)
            untrustworthyBlock_ = untrustworthyBlock_ || lateReplyPossible;
        switch (written) {
        case BlockWrite::Written:
            ++stats_.blocksWritten;
            CountBlock(handled);
            break;
        case BlockWrite::LeftErased:
            CountBlock(handled);  // the verification will find it
            break;
        case BlockWrite::Failed:
            end = PassEnd::Stopped;
            break;
        }
    }
    handledBefore_ += handled;
    return end;
}

std::optional<bool> UpdateRun::VerifyBlocks(const FlashImage& image, uint32_t from, uint32_t to)
{
    for (uint32_t i = from; i < to; ++i) {
        const BlockCheck check =
            CheckBlock(image, image.firstFileByte + uint64_t{kFileBlockSize} * i, image.flashBase + kFileBlockSize * i);
        if (check == BlockCheck::FileError)
            return std::nullopt;
        if (check != BlockCheck::Matches)
            return false;
    }
    return true;
}

std::vector<uint8_t> UpdateRun::ImageInfoRecord() const
{
    std::vector<uint8_t> record;
    auto put = [&record](uint32_t value) {
        uint8_t bytes[4];
        StoreLe32(bytes, value);
        record.insert(record.end(), bytes, bytes + 4);
    };
    if (Form() == FirmwareForm::TwoNumber) {
        put(sections_.header[0].fileContent);
        put(sections_.header[0].VersionWord());
        put(sections_.header[1].fileContent);
        put(sections_.header[1].VersionWord());
    } else {
        put(sections_.header[2].fileContent);
        put(sections_.header[2].VersionWord());
    }
    return record;
}

UpdateResult UpdateRun::Run()
{
    ReadSectionHeaders();
    c_.ops.EnableUpdateButton(false);
    if (c_.header1.pid != gamepad_type)
        return SilentStop(FileCheck{FileProblem::WrongPid, 1}.Describe());
    if (!CheckSections(sections_, c_.file.Size()).ok())
        return RefuseFile();

    const FirmwareForm form = Form();
    if (c_.ops.ShowMessage(FirmwareVersionText(sections_, form), Caption(), MessageButtons::OkCancel) !=
        MessageResult::Ok)
        return Stop(UpdateEnd::Cancelled);

    uint8_t words[16] = {};
    if (!c_.flash.GetFlashLayout(words))
        return SilentStop("the controller did not answer GetFlashLayout");
    const FlashLayout layout = DecodeFlashLayout(words);
    if (layout.blockSize != kSupportedBlockSize)
        return SilentStop("unsupported flash block size " + std::to_string(layout.blockSize));

    const ImagePlan plan = PlanImages(sections_, form, layout.headOffset, layout.blockSize);
    if (plan.check.problem == FileProblem::EmptyMainSection)
        return SilentStop(plan.check.Describe());
    if (!plan.check.ok())
        return RefuseFile();
    images_ = plan.images;
    blockSize_ = layout.blockSize;
    for (const FlashImage& image : images_) {
        progressTotal_ += image.imageLength;
        stats_.blocksTotal += image.blockCount;
    }

    for (const FlashImage& image : images_)
        if (WritePass(image) == PassEnd::FileError)
            return Fail();
    if (untrustworthyBlock_)
        return Fail();
    for (const FlashImage& image : images_) {
        const std::optional<bool> verified = VerifyBlocks(image, image.verifyFrom, image.blockCount);
        if (!verified || !*verified)
            return Fail();
    }

    // The head is checked whether or not SaveHead was acknowledged: success is
    // reported only for blocks the controller has confirmed.
    c_.flash.SaveHead();
    const FlashImage& main = images_.front();
    const std::optional<bool> head = VerifyBlocks(main, 0, std::min(kHeadBlocks, main.blockCount));
    if (!head || !*head)
        return Fail();

    c_.flash.WriteImageInfo(ImageInfoRecord());
    return Succeed();
}

}  // namespace

UpdateResult RunFirmwareUpdate(UpdateContext& context)
{
    if (context.link.deviceRecognised.load() == 0) {
        context.state.updateRunning = 0;
        return {UpdateEnd::NotRecognised, {}};
    }
    context.state.updateRunning = 1;
    return UpdateRun(context).Run();
}

}  // namespace vornak
