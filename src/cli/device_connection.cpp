#include "cli/device_connection.h"

#include <filesystem>

#include "cli/default_backend.h"
#include "cli/external_device.h"
#include "protocol/command_report.h"
#include "sim/sim_backend.h"

namespace vornak::cli {
namespace {

sim::SimConfig SimulatorConfig(const SimulatorOptions& options)
{
    sim::SimConfig config;
    config.version.singleNumber = options.singleNumber;
    return config;
}

sim::SimFaults SimulatorFaults(const SimulatorOptions& options)
{
    sim::SimFaults faults;
    if (options.silent) {
        sim::FaultRule silent;
        silent.kind = sim::FaultKind::DropReply;
        silent.command = kVersionRequest;
        faults.rules.push_back(silent);
    }
    if (options.vanishAfter) {
        sim::FaultRule vanish;
        vanish.kind = sim::FaultKind::Vanish;
        vanish.firstOccurrence = *options.vanishAfter;
        faults.rules.push_back(vanish);
    }
    return faults;
}

}  // namespace

DeviceConnection::~DeviceConnection()
{
    // The tracer wraps the inner backend: it goes first.
    traced_.reset();
    inner_.reset();
}

std::unique_ptr<DeviceConnection> DeviceConnection::Open(const DeviceOptions& options, Clock& clock,
                                                         ConnectionError& error)
{
    std::unique_ptr<DeviceConnection> connection(new DeviceConnection());
    const bool opened = options.simulate                 ? connection->OpenSimulator(options.simulator, clock, error)
                        : !options.deviceCommand.empty() ? connection->OpenExternal(options.deviceCommand, error)
                                                         : connection->OpenDefault(error);
    if (!opened)
        return nullptr;
    if (!options.traceFile.empty()) {
        std::string why;
        connection->trace_ = TraceLog::Create(options.traceFile, clock, why);
        if (!connection->trace_) {
            error = {kExitUsage, "cannot write the trace: " + why};
            return nullptr;
        }
        connection->traced_ = std::make_unique<TraceBackend>(*connection->inner_, *connection->trace_);
    }
    return connection;
}

bool DeviceConnection::OpenSimulator(const SimulatorOptions& options, Clock& clock, ConnectionError& error)
{
    controller_ = std::make_unique<sim::SimulatedController>(SimulatorConfig(options), SimulatorFaults(options));
    flashFile_ = options.flashFile;
    // A missing file is a new controller with erased flash.
    if (!flashFile_.empty() && std::filesystem::exists(flashFile_) && !controller_->LoadFlash(flashFile_)) {
        error = {kExitUsage, "cannot read the simulated flash " + flashFile_};
        return false;
    }
    auto backend = std::make_unique<sim::SimBackend>(*controller_, clock);
    backend->DenyAccess(options.accessDenied);
    inner_ = std::move(backend);
    return true;
}

bool DeviceConnection::OpenExternal(const std::string& command, ConnectionError& error)
{
    ExternalDevice device = StartExternalDevice(command);
    if (!device.backend) {
        error = {kExitNoController, device.problem};
        return false;
    }
    inner_ = std::move(device.backend);
    absentReason_ = std::move(device.problem);
    return true;
}

bool DeviceConnection::OpenDefault(ConnectionError& error)
{
    std::string whyNot;
    inner_ = MakeDefaultBackend(whyNot);
    if (!inner_) {
        error = {kExitNoController, whyNot};
        return false;
    }
    accessHint_ = PlatformAccessHint();
    return true;
}

bool DeviceConnection::SaveState(std::string& error)
{
    if (!controller_ || flashFile_.empty())
        return true;
    if (controller_->SaveFlash(flashFile_))
        return true;
    error = "cannot write the simulated flash " + flashFile_;
    return false;
}

}  // namespace vornak::cli
