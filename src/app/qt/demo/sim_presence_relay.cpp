#include "app/qt/demo/sim_presence_relay.h"

#include <QTimer>

namespace vornak::qt {

SimPresenceRelay::SimPresenceRelay(sim::SimBackend& backend, UpdateWindow& window,
                                   std::optional<int> restartSearchDelayMs)
    : backend_(backend), window_(window), restartSearchDelayMs_(restartSearchDelayMs)
{
    // Called from whichever thread caused it, also from inside a search on the
    // window thread: always queued, so no handler runs inside another.
    backend_.SetPresenceListener([this](bool arrived) {
        QMetaObject::invokeMethod(this, [this, arrived] { Deliver(arrived); }, Qt::QueuedConnection);
    });
}

SimPresenceRelay::~SimPresenceRelay() { backend_.SetPresenceListener({}); }

void SimPresenceRelay::Deliver(bool arrived)
{
    window_.DeliverDeviceAction(arrived ? DeviceAction::Add : DeviceAction::Remove);
    // The simulated controller comes back from its restart at the next call
    // after its restart time.
    if (!arrived && restartSearchDelayMs_)
        QTimer::singleShot(*restartSearchDelayMs_, this, [this] { backend_.EnumerateInterfaces(); });
    if (after_)
        after_(arrived);
}

}  // namespace vornak::qt
