#include "audio/beat_finder_loader.h"

#include <dlfcn.h>

#include <mutex>

#include "program_module.h"

// Defined when the tracker is linked into the program; null otherwise.
extern "C" tavrelia::BeatFinder* tavreliaBeatTracker(int rate) __attribute__((weak));

namespace tavrelia {

namespace {
using Factory = BeatFinder* (*)(int);
}  // namespace

// The module stays loaded for the rest of the run. A failed load is tried again at the
// next start: the operator may have installed what was missing.
std::unique_ptr<BeatFinder> makeBeatFinder(int rate, std::string& errors)
{
    static std::mutex loading;
    static Factory factory = tavreliaBeatTracker ? &tavreliaBeatTracker : nullptr;
    const std::lock_guard hold(loading);
    if (!factory) {
        if (void* module = loadProgramModule("libtavrelia_aubio.so", errors)) {
            factory = reinterpret_cast<Factory>(::dlsym(module, "tavreliaBeatTracker"));
            if (!factory)
                errors += std::string(::dlerror()) + '\n';
        }
    }
    return factory ? std::unique_ptr<BeatFinder>(factory(rate)) : nullptr;
}

}  // namespace tavrelia
