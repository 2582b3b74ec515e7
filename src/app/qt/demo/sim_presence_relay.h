#pragma once

#include <QObject>

#include <functional>
#include <optional>

#include "app/qt/update_window.h"
#include "sim/sim_backend.h"

namespace vornak::qt {

// Plays hot-plug for the simulated controller: each arrival or removal it
// reports reaches the window as the matching device action, on the window
// thread. After a removal (also the restart that ends an update) one search
// restartSearchDelayMs later brings a restarted controller back; without a
// delay the caller does that search itself.
class SimPresenceRelay final : public QObject {
public:
    SimPresenceRelay(sim::SimBackend& backend, UpdateWindow& window, std::optional<int> restartSearchDelayMs);
    ~SimPresenceRelay() override;
    SimPresenceRelay(const SimPresenceRelay&) = delete;
    SimPresenceRelay& operator=(const SimPresenceRelay&) = delete;

    // Runs after each delivered action, e.g. to refresh a panel.
    void SetAfterDelivery(std::function<void(bool arrived)> after) { after_ = std::move(after); }

private:
    void Deliver(bool arrived);

    sim::SimBackend& backend_;
    UpdateWindow& window_;
    std::optional<int> restartSearchDelayMs_;
    std::function<void(bool)> after_;
};

}  // namespace vornak::qt
