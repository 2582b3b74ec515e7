#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>

#include "app/qt/demo/sim_presence_relay.h"
#include "app/qt/update_window.h"
#include "sim/sim_backend.h"

namespace vornak::qt {

// The demo's second window: plugs and unplugs the simulated controller, sets
// the version it reports, and saves a sample firmware file to update it with.
class DemoPanel final : public QWidget {
public:
    DemoPanel(sim::SimBackend& backend, UpdateWindow& window);

private:
    void ApplyVersionForm();
    void SaveSampleFirmware();
    void ShowPresence();

    sim::SimBackend& backend_;
    SimPresenceRelay relay_;
    QComboBox form_;
    QSpinBox version_;
    QSpinBox minor_;
    QSpinBox beta_;
    QPushButton plug_;
    QPushButton unplug_;
    QPushButton saveSample_;
    QLabel status_;
};

}  // namespace vornak::qt
