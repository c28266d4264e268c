#pragma once

#include <string>

namespace tavrelia {

// Loads one of the program's modules (the window, the OLA backend, a connection's):
// beside the core's library (the build tree, or lib/tavrelia/ once installed), else
// beside the program or in its ../lib/tavrelia/. Null with the loader's reasons added
// to errors when no place has it.
void* loadProgramModule(const std::string& fileName, std::string& errors);

}  // namespace tavrelia
