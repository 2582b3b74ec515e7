#include "sim/tool/termination_signals.h"


namespace vornak::sim {
namespace {

volatile sig_atomic_t terminationRequested = 0;

extern "C" void OnTerminationSignal(int) { terminationRequested = 1; }

}  // namespace

TerminationSignals::TerminationSignals()
{
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInt_);
    sigaction(SIGTERM, &action, &previousTerm_);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigprocmask(SIG_BLOCK, &blocked, &previousMask_);
    waitMask_ = previousMask_;
    sigdelset(&waitMask_, SIGINT);
    sigdelset(&waitMask_, SIGTERM);
}

TerminationSignals::~TerminationSignals()
{
    sigprocmask(SIG_SETMASK, &previousMask_, nullptr);
    sigaction(SIGINT, &previousInt_, nullptr);
    sigaction(SIGTERM, &previousTerm_, nullptr);
}

bool TerminationSignals::requested() const { return terminationRequested != 0; }

}  // namespace vornak::sim
