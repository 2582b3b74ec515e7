#pragma once

#include <signal.h>

namespace vornak::sim {

// SIGINT and SIGTERM end the program cleanly (the flash is saved, a uhid
// device destroyed). They stay blocked except while the event loop waits,
// so a signal can never slip in between the check and the wait.
class TerminationSignals {
public:
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool requested() const;
    // The signal mask to wait with (ppoll).
    const sigset_t* waitMask() const { return &waitMask_; }

private:
    sigset_t previousMask_;
    sigset_t waitMask_;
    struct sigaction previousInt_;
    struct sigaction previousTerm_;
};

}  // namespace vornak::sim
