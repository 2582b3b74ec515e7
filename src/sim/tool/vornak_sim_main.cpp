// vornak-sim: the simulated controller as a program of its own, a device on
// a pipe (for vornak-flash --device-cmd) or a HID device of the kernel (--uhid).

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "sim/tool/device_session.h"
#include "sim/tool/pipe_transport.h"
#include "sim/tool/sim_options.h"
#include "sim/tool/termination_signals.h"
#include "sim/tool/uhid_transport.h"

namespace {

void Log(const std::string& line) { std::fprintf(stderr, "vornak-sim: %s\n", line.c_str()); }

std::unique_ptr<vornak::sim::DeviceTransport> MakeTransport(const vornak::sim::SimToolOptions& options)
{
    const vornak::sim::SimConfig& config = options.config;
    if (!options.uhid)
        return std::make_unique<vornak::sim::PipeTransport>(STDIN_FILENO, STDOUT_FILENO, config.vendorId,
                                                             config.productId);
    std::string error;
    auto uhid = vornak::sim::UhidTransport::Open(config.vendorId, config.productId, error);
    if (!uhid)
        Log(error);
    return uhid;
}

vornak::sim::RestartPolicy Restart(const vornak::sim::SimToolOptions& options)
{
    using vornak::sim::RestartPolicy;
    if (options.uhid)
        return RestartPolicy::Replug;
    return options.exitOnRestart ? RestartPolicy::Exit : RestartPolicy::StayAttached;
}

}  // namespace

int main(int argc, char** argv)
{
    vornak::sim::SimToolOptions options;
    if (std::optional<int> code = vornak::sim::ParseSimOptions(argc, argv, options))
        return *code;
    // A host that went away makes a write fail, which ends the run.
    ::signal(SIGPIPE, SIG_IGN);

    vornak::sim::SimulatedController controller(options.config, options.faults);
    if (!options.flashFile.empty() && std::filesystem::exists(options.flashFile) &&
        !controller.LoadFlash(options.flashFile)) {
        Log("cannot read the flash file " + options.flashFile);
        return 1;
    }
    bool served = false;
    {
        vornak::sim::TerminationSignals signals;
        std::unique_ptr<vornak::sim::DeviceTransport> transport = MakeTransport(options);
        if (!transport)
            return 1;
        vornak::sim::DeviceSession session(controller, *transport, Restart(options), vornak::SteadyClock(), Log,
                                           options.verbose);
        served = session.Run(signals);
    }
    if (!options.flashFile.empty() && !controller.SaveFlash(options.flashFile)) {
        Log("cannot write the flash file " + options.flashFile);
        return 1;
    }
    return served ? 0 : 1;
}
