#include "app/qt/udev_hotplug.h"

namespace vornak::qt {

UdevHotplug::UdevHotplug(std::unique_ptr<UdevMonitor> monitor, std::function<void(DeviceAction)> deliver)
    : monitor_(std::move(monitor)), deliver_(std::move(deliver)), notifier_(monitor_->fd(), QSocketNotifier::Read)
{
    connect(&notifier_, &QSocketNotifier::activated, this, [this] {
        if (const std::optional<UdevEvent> event = monitor_->Receive())
            deliver_(event->action);
    });
}

}  // namespace vornak::qt
