#include "program_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace tavrelia {

namespace {

std::string programFolder()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    const std::string file(path, static_cast<size_t>(n));
    return file.substr(0, file.rfind('/'));
}

}  // namespace

void* loadProgramModule(const std::string& fileName, std::string& errors)
{
    const std::string folder = programFolder();
    for (const std::string& place : {folder + '/', folder + "/../lib/tavrelia/"}) {
        if (void* module = ::dlopen((place + fileName).c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
        errors += std::string(::dlerror()) + '\n';
    }
    return nullptr;
}

}  // namespace tavrelia
