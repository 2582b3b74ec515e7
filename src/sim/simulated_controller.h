#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace vornak::sim {

using Report = std::array<uint8_t, 64>;

// An input report the controller sends, delayMs after the output report
// that caused it.
struct TimedReport {
    uint32_t delayMs = 0;
    Report bytes{};
};

struct VersionReply {
    bool singleNumber = false;  // byte 7 high nibble 0x8
    uint8_t version = 1;        // byte 4 (two-number form) or byte 6 (single-number form)
    uint8_t minor = 0;          // byte 5, the second number of the two-number form
    uint8_t beta = 0;           // 0: none; otherwise odd, 1..15 (low nibble of byte 7, bit 0 set)
};

struct SimConfig {
    uint32_t flashSize = 1u << 20;
    uint32_t headOffset = 0;
    uint32_t blockSize = 4096;
    // The two unused words of the layout reply are non-zero so a reader of the
    // wrong word is caught.
    uint32_t layoutWord1 = 0x11111111;
    uint32_t layoutWord2 = 0x22222222;
    VersionReply version;
    uint16_t vendorId = 0x2DC8;
    uint16_t productId = 0x3014;
    uint32_t restartMs = 300;  // time off the bus after EndUpdate
};

enum class FaultKind {
    DropReply,     // the command takes effect, no reply is sent
    DropRequest,   // the command is ignored altogether
    LateReply,     // the reply comes after delayMs
    NoiseFirst,    // an unrelated report is sent before the reply
    StaleFirst,    // the previous reply is sent again before the reply
    CorruptReply,  // one byte of the reply's header is wrong
    Vanish,        // the controller is gone from this command on
};

// Applies a fault to the matching commands: command code (0 matches any; 0x21
// is the version request), optionally a piece length (47 or 29, WritePiece only)
// and an address, from the n-th matching command on, count times.
struct FaultRule {
    FaultKind kind = FaultKind::DropReply;
    uint8_t command = 0;
    std::optional<uint32_t> pieceLength;
    std::optional<uint32_t> address;
    uint32_t firstOccurrence = 0;
    uint32_t count = UINT32_MAX;
    uint32_t delayMs = 0;  // LateReply
};

// A rule with the unused matchers left open.
inline FaultRule Fault(FaultKind kind, uint8_t command, std::optional<uint32_t> pieceLength = std::nullopt,
                       std::optional<uint32_t> address = std::nullopt, uint32_t firstOccurrence = 0,
                       uint32_t count = UINT32_MAX, uint32_t delayMs = 0)
{
    return {kind, command, pieceLength, address, firstOccurrence, count, delayMs};
}

struct SimFaults {
    std::vector<FaultRule> rules;
    double dropFraction = 0.0;  // seeded fraction of replies dropped
    uint32_t seed = 1;
};

// One command received, as a test or a trace sees it.
struct ReceivedCommand {
    uint8_t command = 0;      // 0x21 for the version request
    uint32_t address = 0;     // header-form address; for WriteChunk the flash address it wrote
    uint32_t length = 0;      // header-form length
    uint16_t payloadLength = 0;
    bool accepted = false;    // checks passed and the command took effect
};

enum class Presence { Attached, Vanished, Restarting };

// A model of the controller's boot firmware, independent of any transport.
// Flash is NOR-like: erased bytes are 0xFF and a write can only clear bits.
class SimulatedController {
public:
    explicit SimulatedController(SimConfig config = {}, SimFaults faults = {});

    // One output report (64 payload bytes, report ID already stripped) in; the
    // input reports it causes out, in order. Nothing comes out unless Attached.
    std::vector<TimedReport> HandleOutputReport(std::span<const uint8_t, 64> payload);

    Presence presence() const { return presence_; }
    // EndUpdate puts the controller in Restarting; the transport brings it back.
    void FinishRestart();
    void Unplug();
    void Plug();

    const SimConfig& config() const { return config_; }
    SimConfig& mutableConfig() { return config_; }
    // Changing the rules starts their occurrence counts afresh.
    SimFaults& faults()
    {
        ruleHits_.clear();
        return faults_;
    }

    std::vector<uint8_t>& flash() { return flash_; }
    const std::vector<uint8_t>& flash() const { return flash_; }
    bool LoadFlash(const std::string& path);  // a missing file leaves the flash erased
    bool SaveFlash(const std::string& path) const;

    const std::vector<ReceivedCommand>& received() const { return received_; }
    size_t CountAccepted(uint8_t command) const;
    void ClearLog() { received_.clear(); }
    const std::vector<uint8_t>& imageInfo() const { return imageInfo_; }
    uint32_t saveHeadCount() const { return saveHeads_; }

private:
    std::optional<Report> Execute(std::span<const uint8_t, 64> payload, ReceivedCommand& entry);
    std::optional<Report> ExecuteHeader(uint8_t command, std::span<const uint8_t, 64> payload,
                                        ReceivedCommand& entry);
    std::optional<Report> ExecuteChunk(std::span<const uint8_t, 64> payload, ReceivedCommand& entry);
    Report VersionReplyReport() const;
    bool InFlash(uint64_t address, uint64_t length) const;
    const FaultRule* MatchFault(const ReceivedCommand& entry, std::span<const uint8_t, 64> payload);

    SimConfig config_;
    SimFaults faults_;
    std::vector<uint32_t> ruleHits_;
    std::mt19937 random_;
    std::vector<uint8_t> flash_;
    std::vector<ReceivedCommand> received_;
    std::vector<uint8_t> imageInfo_;
    Presence presence_ = Presence::Attached;
    Report lastReply_{};
    uint32_t saveHeads_ = 0;
    // The block that pieces and chunks are being written into.
    std::optional<uint32_t> writeBlock_;
    uint32_t nextChunk_ = 0;
};

}  // namespace vornak::sim
