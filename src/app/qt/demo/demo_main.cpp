#include <QApplication>

#include "app/qt/demo/demo_panel.h"
#include "app/qt/update_window.h"
#include "sim/sim_backend.h"
#include "sim/simulated_controller.h"
#include "texts/locale_language.h"

// The update window with the simulated controller attached, and a panel that
// plugs, unplugs and configures it.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    vornak::sim::SimulatedController controller;
    vornak::sim::SimBackend backend(controller, vornak::SteadyClock());

    vornak::qt::UpdateWindow window({backend, vornak::SteadyClock(), vornak::UiLanguageFromLocale, {}, nullptr});
    vornak::qt::DemoPanel panel(backend, window);
    window.Initialize();
    window.show();
    panel.move(window.frameGeometry().topRight() + QPoint(16, 0));
    panel.show();
    QObject::connect(&window, &QDialog::finished, &app, &QApplication::quit);
    return app.exec();
}
