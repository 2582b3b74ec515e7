#pragma once

#include <libudev.h>

#include <memory>
#include <optional>
#include <string>

#include "link/linux/device_events.h"

namespace vornak {

struct UdevEvent {
    DeviceAction action = DeviceAction::Change;
    std::string node;  // e.g. /dev/hidraw3; may be empty
};

// A libudev monitor of the hidraw subsystem. Usable without any event loop:
// poll fd() for readability, then call Receive().
class UdevMonitor {
public:
    enum class Source { Udev, Kernel };

    // Events from udevd once it has applied its rules (and so the access
    // rights) when it runs; straight from the kernel otherwise.
    static Source ChooseSource(const char* udevControl = "/run/udev/control");

    // Null with the failing call and its error in error.
    static std::unique_ptr<UdevMonitor> Start(std::string& error);
    static std::unique_ptr<UdevMonitor> Start(Source source, std::string& error);

    int fd() const;
    Source source() const { return source_; }
    // One pending event; nothing when the read returned no device.
    std::optional<UdevEvent> Receive();

private:
    struct UdevUnref {
        void operator()(udev* context) const { udev_unref(context); }
    };
    struct MonitorUnref {
        void operator()(udev_monitor* monitor) const { udev_monitor_unref(monitor); }
    };

    UdevMonitor(std::unique_ptr<udev, UdevUnref> context, std::unique_ptr<udev_monitor, MonitorUnref> monitor,
                Source source);

    std::unique_ptr<udev, UdevUnref> context_;
    std::unique_ptr<udev_monitor, MonitorUnref> monitor_;
    Source source_;
};

}  // namespace vornak
