#pragma once

#include <QCoreApplication>

namespace tavrelia::test {

// Timers and queued signals need an application; the first test that does makes it.
inline void needApplication()
{
    static int argc = 1;
    static char name[] = "core_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

}  // namespace tavrelia::test
