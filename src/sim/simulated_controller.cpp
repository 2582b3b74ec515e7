#include "sim/simulated_controller.h"

#include <algorithm>
#include <fstream>

#include "image/byte_order.h"
#include "image/checksum.h"
#include "protocol/command_report.h"

namespace vornak::sim {
namespace {

constexpr uint32_t kBlock = 4096;
constexpr uint32_t kFirstPiece = 47;
constexpr uint32_t kLastPiece = 29;
constexpr uint32_t kLastPieceOffset = 4067;
constexpr uint32_t kChunk = 60;
constexpr uint32_t kChunks = 67;

Report ReplyHeader(uint16_t command)
{
    Report reply{};
    reply[1] = kReportMarker;
    StoreLe16(&reply[4], command);
    return reply;
}

// An input report that answers no command: a marker where none is expected.
Report UnrelatedReport()
{
    Report noise{};
    noise[0] = 0x01;
    noise[1] = 0x5A;
    return noise;
}

}  // namespace

SimulatedController::SimulatedController(SimConfig config, SimFaults faults)
    : config_(config), faults_(std::move(faults)), random_(faults_.seed), flash_(config.flashSize, 0xFF)
{
}

void SimulatedController::FinishRestart()
{
    if (presence_ == Presence::Restarting)
        presence_ = Presence::Attached;
}

void SimulatedController::Unplug() { presence_ = Presence::Vanished; }

void SimulatedController::Plug()
{
    presence_ = Presence::Attached;
    writeBlock_.reset();
}

bool SimulatedController::LoadFlash(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::fill(flash_.begin(), flash_.end(), uint8_t{0xFF});
    in.read(reinterpret_cast<char*>(flash_.data()), static_cast<std::streamsize>(flash_.size()));
    return true;
}

bool SimulatedController::SaveFlash(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(flash_.data()), static_cast<std::streamsize>(flash_.size()));
    return static_cast<bool>(out);
}

size_t SimulatedController::CountAccepted(uint8_t command) const
{
    return static_cast<size_t>(std::count_if(received_.begin(), received_.end(), [&](const ReceivedCommand& c) {
        return c.command == command && c.accepted;
    }));
}

bool SimulatedController::InFlash(uint64_t address, uint64_t length) const
{
    return address + length <= flash_.size();
}

const FaultRule* SimulatedController::MatchFault(const ReceivedCommand& entry, std::span<const uint8_t, 64> payload)
{
    ruleHits_.resize(faults_.rules.size(), 0);
    for (size_t i = 0; i < faults_.rules.size(); ++i) {
        const FaultRule& rule = faults_.rules[i];
        if (rule.command != 0 && rule.command != entry.command)
            continue;
        if (rule.pieceLength && (entry.command != kWritePiece || LoadLe16(&payload[5]) != *rule.pieceLength))
            continue;
        if (rule.address && entry.address != *rule.address)
            continue;
        const uint32_t hit = ruleHits_[i]++;
        if (hit >= rule.firstOccurrence && hit - rule.firstOccurrence < rule.count)
            return &rule;
    }
    return nullptr;
}

std::vector<TimedReport> SimulatedController::HandleOutputReport(std::span<const uint8_t, 64> payload)
{
    if (presence_ != Presence::Attached)
        return {};
    ReceivedCommand entry;
    const bool versionRequest = payload[0] == kReportMarker && payload[1] == kVersionRequest &&
                                std::all_of(payload.begin() + 2, payload.end(), [](uint8_t b) { return b == 0; });
    entry.command = versionRequest ? uint8_t{kVersionRequest} : payload[1];
    if (payload[0] == kReportMarker && payload[1] != kWriteChunk && !versionRequest) {
        entry.length = LoadLe32(&payload[9]);
        entry.address = LoadLe32(&payload[13]);
        entry.payloadLength = LoadLe16(&payload[5]);
    }
    const FaultRule* fault = MatchFault(entry, payload);
    if (fault && fault->kind == FaultKind::Vanish) {
        presence_ = Presence::Vanished;
        received_.push_back(entry);
        return {};
    }
    if (fault && fault->kind == FaultKind::DropRequest) {
        received_.push_back(entry);
        return {};
    }
    std::optional<Report> reply = Execute(payload, entry);
    received_.push_back(entry);
    if (!reply)
        return {};
    const bool randomDrop = faults_.dropFraction > 0 &&
                            std::uniform_real_distribution<double>(0, 1)(random_) < faults_.dropFraction;
    if (randomDrop || (fault && fault->kind == FaultKind::DropReply))
        return {};

    std::vector<TimedReport> out;
    if (fault && fault->kind == FaultKind::NoiseFirst)
        out.push_back({0, UnrelatedReport()});
    if (fault && fault->kind == FaultKind::StaleFirst)
        out.push_back({0, lastReply_});
    if (fault && fault->kind == FaultKind::CorruptReply)
        (*reply)[1] ^= 0xFF;
    const uint32_t delay = fault && fault->kind == FaultKind::LateReply ? fault->delayMs : 0;
    out.push_back({delay, *reply});
    lastReply_ = *reply;
    return out;
}

std::optional<Report> SimulatedController::Execute(std::span<const uint8_t, 64> payload, ReceivedCommand& entry)
{
    if (entry.command == kVersionRequest) {
        entry.accepted = true;
        return VersionReplyReport();
    }
    if (payload[0] != kReportMarker)
        return std::nullopt;
    if (entry.command == kWriteChunk)
        return ExecuteChunk(payload, entry);
    return ExecuteHeader(entry.command, payload, entry);
}

std::optional<Report> SimulatedController::ExecuteHeader(uint8_t command, std::span<const uint8_t, 64> payload,
                                                         ReceivedCommand& entry)
{
    const uint16_t payloadLength = entry.payloadLength;
    if (payload[2] != 0 || payload[3] != 0 || payload[4] != 0 || payloadLength > 47)
        return std::nullopt;
    const uint8_t* data = &payload[17];
    const uint16_t crc = LoadLe16(&payload[7]);
    const bool crcCarried = command == kWritePiece || command == kWriteImageInfo || command == kEraseBlock;
    if (crcCarried && crc != Crc16(data, payloadLength))
        return std::nullopt;  // a corrupted request: firmware drops it unanswered
    if (!crcCarried && crc != 0)
        return std::nullopt;

    Report reply = ReplyHeader(command);
    switch (command) {
    case kGetFlashLayout:
        StoreLe32(&reply[18], config_.headOffset);
        StoreLe32(&reply[22], config_.layoutWord1);
        StoreLe32(&reply[26], config_.layoutWord2);
        StoreLe32(&reply[30], config_.blockSize);
        break;
    case kSaveHead:
        ++saveHeads_;
        break;
    case kCompareBlock: {
        const uint32_t address = LoadLe32(&payload[13]);
        if (payloadLength != 12 || LoadLe32(data) != address || !InFlash(address, kBlock))
            return std::nullopt;
        StoreLe32(&reply[14], address);
        StoreLe16(&reply[18], Crc16(&flash_[address], kBlock));
        break;
    }
    case kWriteImageInfo:
        if (payloadLength != 8 && payloadLength != 16)
            return std::nullopt;
        imageInfo_.assign(data, data + payloadLength);
        break;
    case kEraseBlock: {
        const uint32_t address = entry.address;
        if (payloadLength != 0 || entry.length == 0 || !InFlash(address, entry.length))
            return std::nullopt;
        std::fill_n(flash_.begin() + address, entry.length, uint8_t{0xFF});
        writeBlock_.reset();
        break;
    }
    case kWritePiece: {
        const uint32_t address = entry.address;
        if (payloadLength != kFirstPiece && payloadLength != kLastPiece)
            return std::nullopt;
        if (!InFlash(address, payloadLength))
            return std::nullopt;
        if (payloadLength == kFirstPiece) {
            writeBlock_ = address;
            nextChunk_ = 0;
        } else if (!writeBlock_ || address != *writeBlock_ + kLastPieceOffset || nextChunk_ != kChunks) {
            return std::nullopt;  // a last piece out of order
        }
        for (uint16_t i = 0; i < payloadLength; ++i)
            flash_[address + i] &= data[i];
        if (payloadLength == kLastPiece)
            writeBlock_.reset();
        break;
    }
    case kEndUpdate:
        presence_ = Presence::Restarting;
        writeBlock_.reset();
        break;
    default:
        return std::nullopt;
    }
    entry.accepted = true;
    return reply;
}

std::optional<Report> SimulatedController::ExecuteChunk(std::span<const uint8_t, 64> payload, ReceivedCommand& entry)
{
    const uint8_t index = payload[2];
    const uint8_t* data = &payload[4];
    if (!writeBlock_)
        return std::nullopt;
    if (Sum8(data, kChunk) != payload[3])
        return std::nullopt;
    // A repeat of the chunk just written is acknowledged again (its ack was lost).
    if (index + 1u == nextChunk_)
        return ReplyHeader(kWriteChunk);
    if (index != nextChunk_ || index >= kChunks)
        return std::nullopt;
    const uint32_t address = *writeBlock_ + kFirstPiece + kChunk * index;
    if (!InFlash(address, kChunk))
        return std::nullopt;
    for (uint32_t i = 0; i < kChunk; ++i)
        flash_[address + i] &= data[i];
    ++nextChunk_;
    entry.address = address;
    entry.accepted = true;
    return ReplyHeader(kWriteChunk);
}

Report SimulatedController::VersionReplyReport() const
{
    Report reply{};
    const VersionReply& v = config_.version;
    uint8_t form = v.singleNumber ? 0x80 : 0x00;
    if (v.beta != 0)
        form = static_cast<uint8_t>(form | (v.beta & 0x0F) | 0x01);
    if (v.singleNumber)
        reply[6] = v.version;
    else {
        reply[4] = v.version;
        reply[5] = v.minor;
    }
    reply[7] = form;
    return reply;
}

}  // namespace vornak::sim
