#pragma once

#include <QString>

namespace tavrelia {

// What the program's command line asks for, decided before the window module or any
// device is loaded: the headless player (any of its options named), the name and
// version, the usage, the window (nothing but Qt's own window options), or nothing
// with a reason.
struct CommandLine {
    enum class Action { Window, Player, Version, Help, Refused };

    Action action = Action::Window;
    QString error;   // why it was refused
    QString show;    // the show file the window opens, as given

    // argv[0] is the program's name.
    static CommandLine classify(int argc, char** argv);

    static QString version();   // "Tavrelia 0.1.0"
    // The window's options, Qt's standard ones among them, then the player's.
    static QString usage();
};

}  // namespace tavrelia
