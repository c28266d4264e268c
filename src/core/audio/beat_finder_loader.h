#pragma once

#include <memory>
#include <string>

#include "audio/beat_finder.h"

namespace tavrelia {

// The beat tracker from its module (libtavrelia_aubio.so, beside the program or in
// lib/tavrelia/), loaded the first time a sound input starts; a program that links the
// tracker in (tests, probes) uses it directly. Null, with the loader's reasons in
// `errors`, when the module cannot be loaded.
std::unique_ptr<BeatFinder> makeBeatFinder(int rate, std::string& errors);

}  // namespace tavrelia
