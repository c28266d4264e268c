// The program's entry: the headless player when the command line asks for it, the
// version or the usage, otherwise the window, loaded from its module only now.

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "command_line.h"
#include "player_main.h"

namespace {

std::string executableFolder()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string file(path, static_cast<size_t>(n));
    return file.substr(0, file.rfind('/'));
}

// Beside the program in the build tree; in lib/tavrelia/ once installed.
void* loadWindowModule(std::string& errors)
{
    const std::string folder = executableFolder();
    for (const char* relative : {"/libtavrelia_gui.so", "/../lib/tavrelia/libtavrelia_gui.so"}) {
        if (void* module = ::dlopen((folder + relative).c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
        errors += std::string(::dlerror()) + '\n';
    }
    return nullptr;
}

}  // namespace

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
    void* module = loadWindowModule(errors);
    using Entry = int (*)(int, char**);
    auto entry = module ? reinterpret_cast<Entry>(::dlsym(module, "tavreliaGuiMain")) : nullptr;
    if (!entry) {
        std::fprintf(stderr, "tavrelia: cannot load the window module:\n%s", errors.c_str());
        return 1;
    }
    return entry(argc, argv);
}
