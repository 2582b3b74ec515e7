#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/hid_backend.h"
#include "link/pipe/pipe_link.h"

namespace vornak {

// An external device played by another program: the command runs through
// /bin/sh -c for the whole life of the backend and is one HID interface with
// the identity it writes first. There is no hot-plug on a pipe: the child
// going away is the device's removal.
class PipeBackend final : public HidBackend {
public:
    static constexpr const char* kPathPrefix = "pipe:";

    explicit PipeBackend(const std::string& command, const pipe::PipeTimeouts& timeouts = {});

    std::vector<HidInterface> EnumerateInterfaces() override;
    std::unique_ptr<HidDevice> OpenInterface(const std::string& path, OpenAccess access,
                                             OpenError& error) override;
    std::unique_ptr<DeviceNotification> RegisterDeviceNotification(NotifyWindow window) override;

    const std::string& devicePath() const { return path_; }
    // Why no device is attached (start failure, no identity); empty otherwise.
    const std::string& startError() const { return startError_; }

private:
    std::string path_;
    std::string startError_;
    std::shared_ptr<pipe::PipeLink> link_;
};

}  // namespace vornak
