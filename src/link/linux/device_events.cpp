#include "link/linux/device_events.h"

namespace vornak {
namespace {

constexpr uint32_t kDevNodesChanged = 0x0007;
constexpr uint32_t kDeviceArrival = 0x8000;
constexpr uint32_t kDeviceRemoveComplete = 0x8004;

}  // namespace

DeviceAction ParseDeviceAction(std::string_view action)
{
    if (action == "add")
        return DeviceAction::Add;
    if (action == "remove")
        return DeviceAction::Remove;
    return DeviceAction::Change;
}

std::vector<uint32_t> DeviceChangeEvents(DeviceAction action)
{
    // Every change also counts as "device nodes changed", and it comes last:
    // its button rule then sees the version that the arrival's query has just
    // read, not one left from before an unplug.
    switch (action) {
    case DeviceAction::Add:
        return {kDeviceArrival, kDevNodesChanged};
    case DeviceAction::Remove:
        return {kDeviceRemoveComplete, kDevNodesChanged};
    case DeviceAction::Change:
        break;
    }
    return {kDevNodesChanged};
}

}  // namespace vornak
