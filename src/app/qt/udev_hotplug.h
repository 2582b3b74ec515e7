#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

#include "link/linux/udev_monitor.h"

namespace vornak::qt {

// Feeds the udev monitor into the Qt event loop: each readable event is
// received once and its action handed on. No polling.
class UdevHotplug final : public QObject {
public:
    UdevHotplug(std::unique_ptr<UdevMonitor> monitor, std::function<void(DeviceAction)> deliver);

private:
    std::unique_ptr<UdevMonitor> monitor_;
    std::function<void(DeviceAction)> deliver_;
    QSocketNotifier notifier_;
};

}  // namespace vornak::qt
