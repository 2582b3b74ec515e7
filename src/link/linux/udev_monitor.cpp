#include "link/linux/udev_monitor.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace vornak {
namespace {

struct DeviceUnref {
    void operator()(udev_device* device) const { udev_device_unref(device); }
};

std::string ErrorText(int error) { return std::error_code(error, std::generic_category()).message(); }

}  // namespace

UdevMonitor::Source UdevMonitor::ChooseSource(const char* udevControl)
{
    return access(udevControl, F_OK) == 0 ? Source::Udev : Source::Kernel;
}

std::unique_ptr<UdevMonitor> UdevMonitor::Start(std::string& error) { return Start(ChooseSource(), error); }

std::unique_ptr<UdevMonitor> UdevMonitor::Start(Source source, std::string& error)
{
    std::unique_ptr<udev, UdevUnref> context(udev_new());
    if (!context) {
        error = "udev_new: " + ErrorText(errno);
        return nullptr;
    }
    const char* const name = source == Source::Udev ? "udev" : "kernel";
    std::unique_ptr<udev_monitor, MonitorUnref> monitor(udev_monitor_new_from_netlink(context.get(), name));
    if (!monitor) {
        error = std::string("udev_monitor_new_from_netlink(") + name + "): " + ErrorText(errno);
        return nullptr;
    }
    if (const int result = udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "hidraw", nullptr);
        result < 0) {
        error = "udev_monitor_filter_add_match_subsystem_devtype(hidraw): " + ErrorText(-result);
        return nullptr;
    }
    if (const int result = udev_monitor_enable_receiving(monitor.get()); result < 0) {
        error = "udev_monitor_enable_receiving: " + ErrorText(-result);
        return nullptr;
    }
    return std::unique_ptr<UdevMonitor>(new UdevMonitor(std::move(context), std::move(monitor), source));
}

UdevMonitor::UdevMonitor(std::unique_ptr<udev, UdevUnref> context, std::unique_ptr<udev_monitor, MonitorUnref> monitor,
                         Source source)
    : context_(std::move(context)), monitor_(std::move(monitor)), source_(source)
{
}

int UdevMonitor::fd() const { return udev_monitor_get_fd(monitor_.get()); }

std::optional<UdevEvent> UdevMonitor::Receive()
{
    const std::unique_ptr<udev_device, DeviceUnref> device(udev_monitor_receive_device(monitor_.get()));
    if (!device)
        return std::nullopt;
    const char* const action = udev_device_get_action(device.get());
    const char* const node = udev_device_get_devnode(device.get());
    return UdevEvent{ParseDeviceAction(action != nullptr ? action : ""), node != nullptr ? node : ""};
}

}  // namespace vornak
