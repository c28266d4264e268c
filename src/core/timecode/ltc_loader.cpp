#include <dlfcn.h>

#include "program_module.h"
#include "timecode/ltc_decoder.h"

// Defined when the module's object is linked into the program; null otherwise.
extern "C" tavrelia::LtcDecoder* tavreliaLtcDecoder(int samplesPerFrame) __attribute__((weak));

namespace tavrelia {

std::unique_ptr<LtcDecoder> makeLtcDecoder(int samplesPerFrame, std::string& error)
{
    using Factory = LtcDecoder* (*)(int);
    // The module stays loaded for the rest of the run.
    static std::string errors;
    static const Factory factory = []() -> Factory {
        if (tavreliaLtcDecoder)
            return &tavreliaLtcDecoder;
        if (void* module = loadProgramModule("libtavrelia_ltc.so", errors)) {
            if (auto found = reinterpret_cast<Factory>(::dlsym(module, "tavreliaLtcDecoder")))
                return found;
            errors += std::string(::dlerror()) + '\n';
        }
        return nullptr;
    }();
    if (!factory) {
        error = "the LTC decoder cannot be loaded:\n" + errors;
        return nullptr;
    }
    return std::unique_ptr<LtcDecoder>(factory(samplesPerFrame));
}

}  // namespace tavrelia
