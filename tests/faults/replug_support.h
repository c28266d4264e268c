#pragma once

// What the re-plug soaks count: the open file descriptors and the threads of this
// process, which must be back where they started after a hundred cycles.

#include <filesystem>

namespace tavrelia::test {

inline int entriesOf(const char* folder)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

inline int openFileDescriptors()
{
    return entriesOf("/proc/self/fd");
}

inline int threads()
{
    return entriesOf("/proc/self/task");
}

}  // namespace tavrelia::test
