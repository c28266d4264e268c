#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "output/interface_settings.h"
#include "output/output_engine.h"

namespace tavrelia {

// The command line of the headless player:
//   tavrelia --play SHOW.tvl [--recode FILE.tvd] [--backend NAME]
//            [--mode NAME] [--hold] [--verbose]
struct PlayerOptions {
    QString showFile;
    QString recodeFile;
    std::optional<InterfaceSettings::Backend> backend;   // none: the settings file's
    int transitionMode = OutputEngine::Fadera;            // as the window starts
    bool hold = false;
    bool verbose = false;
    bool help = false;

    // Whether the command line is the player's: it names one of the player's options.
    static bool requested(int argc, char** argv);
    // The options, or nothing with the reason in error. Arguments exclude the
    // program's name.
    static std::optional<PlayerOptions> parse(const QStringList& arguments, QString* error);
    static QString usage();
};

}  // namespace tavrelia
