#include <iostream>

#include "cli/flasher_app.h"
#include "cli/process_setup.h"
#include "texts/locale_language.h"

int main(int argc, char** argv)
{
    using namespace vornak::cli;
    PrepareProcess();
    const FlasherEnvironment environment{
        Terminal{std::cin, std::cout, std::cerr, StdinIsTerminal(), StderrIsTerminal()},
        vornak::SteadyClock(),
        [] { return vornak::UiLanguageFromLocale(); },
    };
    return RunFlasher(argc, argv, environment);
}
