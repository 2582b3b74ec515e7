// vornak-hotplug-probe READY_FILE SECONDS: watches hidraw nodes with the
// project's udev monitor and succeeds once a removal has been followed by an
// arrival. It creates READY_FILE when the monitor listens, so the VM test
// knows when to unplug. Prints the monitor's source and every event.

#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "link/linux/udev_monitor.h"

namespace {

const char* ActionName(vornak::DeviceAction action)
{
    switch (action) {
    case vornak::DeviceAction::Add: return "add";
    case vornak::DeviceAction::Remove: return "remove";
    case vornak::DeviceAction::Change: return "change";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vornak-hotplug-probe READY_FILE SECONDS\n");
        return 2;
    }
    std::string error;
    const vornak::UdevMonitor::Source source = vornak::UdevMonitor::ChooseSource();
    std::unique_ptr<vornak::UdevMonitor> monitor = vornak::UdevMonitor::Start(source, error);
    if (!monitor) {
        std::fprintf(stderr, "vornak-hotplug-probe: %s\n", error.c_str());
        return 2;
    }
    std::printf("source %s\n", source == vornak::UdevMonitor::Source::Kernel ? "kernel" : "udev");
    std::fflush(stdout);
    std::ofstream(argv[1]).put('\n');

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(std::atoi(argv[2]));
    bool removed = false;
    while (Clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry{monitor->fd(), POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(left.count()) + 1) <= 0)
            continue;
        const std::optional<vornak::UdevEvent> event = monitor->Receive();
        if (!event)
            continue;
        std::printf("%s %s\n", ActionName(event->action), event->node.c_str());
        std::fflush(stdout);
        if (event->action == vornak::DeviceAction::Remove)
            removed = true;
        else if (event->action == vornak::DeviceAction::Add && removed)
            return 0;
    }
    std::printf("timed out: %s\n", removed ? "no arrival after the removal" : "no removal");
    return 1;
}
