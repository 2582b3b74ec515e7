#pragma once

#include "cli/terminal.h"
#include "link/clock.h"
#include "texts/texts.h"

namespace vornak::cli {

// What a run of the flasher gets from outside: the terminal, the clock of
// every wait (the steady clock in production) and the user interface language.
struct FlasherEnvironment {
    Terminal terminal;
    Clock& clock;
    UiLanguageSource uiLanguage;
};

}  // namespace vornak::cli
