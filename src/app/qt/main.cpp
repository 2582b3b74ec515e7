#include <QApplication>
#include <QDebug>

#include <memory>
#include <optional>

#include "app/qt/udev_hotplug.h"
#include "app/qt/update_window.h"
#include "link/linux/access_hint.h"
#include "link/linux/platform_backend.h"
#include "texts/locale_language.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::unique_ptr<vornak::HidBackend> backend = vornak::MakePlatformHidBackend();

    // Listening starts before the first search, so no plug in between is missed.
    std::string error;
    std::unique_ptr<vornak::UdevMonitor> monitor = vornak::UdevMonitor::Start(error);
    if (!monitor)
        qWarning().noquote() << "no hot-plug events:" << QString::fromStdString(error);

    vornak::qt::UpdateWindow window(
        {*backend, vornak::SteadyClock(), vornak::UiLanguageFromLocale, vornak::kLinuxAccessHint, nullptr});
    std::optional<vornak::qt::UdevHotplug> hotplug;
    if (monitor)
        hotplug.emplace(std::move(monitor), [&window](vornak::DeviceAction action) { window.DeliverDeviceAction(action); });
    window.Initialize();
    window.show();
    return app.exec();
}
