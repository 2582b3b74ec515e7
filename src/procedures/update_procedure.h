#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "app/window_ops.h"
#include "image/firmware_file.h"
#include "image/firmware_header.h"
#include "link/chid.h"
#include "procedures/update_state.h"
#include "protocol/flash_commands.h"

namespace vornak {

// Sends of one chunk before its block counts as failed. The controller acks a
// repeated chunk, so a lost ack costs one resend; five covers a noisy link
// while a vanished controller ends the pass within seconds.
inline constexpr int kChunkSendAttempts = 5;

// How an update ended, for front ends that report it (the command line).
enum class UpdateEnd { None, NotRecognised, SilentStop, Cancelled, InvalidFile, Failed, Succeeded };

struct UpdateStats {
    uint32_t blocksTotal = 0;
    uint32_t blocksWritten = 0;
    uint32_t blocksMatched = 0;
};

struct UpdateResult {
    UpdateEnd end = UpdateEnd::None;
    UpdateStats stats;
};

// What the procedure works on; all of it belongs to the dialog.
struct UpdateContext {
    WindowOps& ops;
    FlashCommands& flash;
    FirmwareFile& file;
    CHid& link;
    UpdateState& state;
    std::atomic<uint32_t>& singleNumberVersion;
    const FirmwareFileHeader& header1;
    zr_firmware_header& header2;
    zr_firmware_header& header3;
    std::function<std::string(int)> loadText;
};

// The whole update, from the product check to one of its ends. Runs on the
// update worker; updateRunning is set by the caller's test-and-set.
UpdateResult RunFirmwareUpdate(UpdateContext& context);

}  // namespace vornak
