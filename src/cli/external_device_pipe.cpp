#include "cli/external_device.h"

#include "link/pipe/pipe_backend.h"

namespace vornak::cli {

ExternalDevice StartExternalDevice(const std::string& command)
{
    auto backend = std::make_unique<PipeBackend>(command);
    std::string problem = backend->startError();
    return {std::move(backend), std::move(problem)};
}

}  // namespace vornak::cli
