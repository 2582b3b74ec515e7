#pragma once

#include <optional>
#include <string>

#include "sim/simulated_controller.h"

namespace vornak::sim {

// One fault rule from its text form
//   KIND:COMMAND[:from=N][:count=M][:delay=MS][:address=A][:piece=47|29]
// KIND is drop-reply, drop-request, late-reply, noise-first, stale-first,
// corrupt-reply or vanish; COMMAND a command name (GetFlashLayout, ...,
// version, any) or its code. Numbers may be decimal or 0x-hex. Null with the
// reason in error when the text is not such a rule.
std::optional<FaultRule> ParseFaultRule(const std::string& text, std::string& error);

}  // namespace vornak::sim
