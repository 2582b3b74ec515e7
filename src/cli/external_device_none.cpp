#include "cli/external_device.h"

namespace vornak::cli {

ExternalDevice StartExternalDevice(const std::string&)
{
    return {nullptr, "external devices over a pipe are not supported in this build"};
}

}  // namespace vornak::cli
