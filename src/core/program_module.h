#pragma once

#include <string>

namespace tavrelia {

// Loads one of the program's modules (the window, the OLA backend): beside the program
// in the build tree, in lib/tavrelia/ once installed. Null with the loader's reasons
// added to errors when neither place has it.
void* loadProgramModule(const std::string& fileName, std::string& errors);

}  // namespace tavrelia
