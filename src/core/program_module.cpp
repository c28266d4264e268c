#include "program_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace tavrelia {

namespace {

std::string folderOf(const std::string& file)
{
    return file.substr(0, file.rfind('/'));
}

std::string programFolder()
{
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    return folderOf(std::string(path, static_cast<size_t>(n)));
}

// Where the core's own library is: the modules are built and installed beside it.
std::string coreFolder()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&loadProgramModule), &info) == 0 || !info.dli_fname)
        return programFolder();
    return folderOf(info.dli_fname);
}

}  // namespace

void* loadProgramModule(const std::string& fileName, std::string& errors)
{
    const std::string program = programFolder() + '/';
    std::vector<std::string> places = {coreFolder() + '/'};
    for (const std::string& place : {program, program + "../lib/tavrelia/"}) {
        if (std::find(places.begin(), places.end(), place) == places.end())
            places.push_back(place);
    }
    for (const std::string& place : places) {
        if (void* module = ::dlopen((place + fileName).c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
        errors += std::string(::dlerror()) + '\n';
    }
    return nullptr;
}

}  // namespace tavrelia
