// The program's entry: the headless player when the command line asks for it, the
// version or the usage, otherwise the window, loaded from its module only now.

#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "command_line.h"
#include "player_main.h"
#include "program_module.h"

int main(int argc, char* argv[])
{
    using tavrelia::CommandLine;
    const CommandLine line = CommandLine::classify(argc, argv);
    switch (line.action) {
    case CommandLine::Action::Player:
        return runPlayer(argc, argv);
    case CommandLine::Action::Version:
        std::printf("%s\n", qPrintable(CommandLine::version()));
        return 0;
    case CommandLine::Action::Help:
        std::fputs(qPrintable(CommandLine::usage()), stdout);
        return 0;
    case CommandLine::Action::Refused:
        std::fprintf(stderr, "tavrelia: %s\n\n%s", qPrintable(line.error), qPrintable(CommandLine::usage()));
        return 2;
    case CommandLine::Action::Window:
        break;
    }
    std::string errors;
    void* module = tavrelia::loadProgramModule("libtavrelia_gui.so", errors);
    using Entry = int (*)(int, char**);
    auto entry = module ? reinterpret_cast<Entry>(::dlsym(module, "tavreliaGuiMain")) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "tavrelia: cannot load the window module:\n%s", errors.c_str());
        return 1;
    }
    return entry(argc, argv);
}
