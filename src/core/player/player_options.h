#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

#include "output/interface_settings.h"
#include "output/output_engine.h"

namespace tavrelia {

// The command line of the headless player:
//   tavrelia (--play SHOW.tvl | --conveyor [--ini FILE]) [--recode FILE.tvd]
//            [--backend NAME] [--mode NAME] [--automat1 RUN] [--automat2 RUN]
//            [--hold] [--verbose] [--osc] [--midi] [--remote] [--beat SOURCE] [--timecode]
struct PlayerOptions {
    // How an automat runs: the window's two check boxes, which the show does not keep.
    enum class AutomatRun { Off, Alone, WithShow };

    QString showFile;
    bool conveyor = false;
    QString iniFile;                                      // empty: the show folder's Tavy.ini
    std::array<AutomatRun, 2> automats{};                 // automat 1, automat 2
    QString recodeFile;
    std::optional<InterfaceSettings::Backend> backend;   // none: the settings file's
    int transitionMode = OutputEngine::Fadera;            // as the window starts
    bool hold = false;
    bool verbose = false;
    bool osc = false;                                     // listen for OSC as Tavrelia.conf says
    bool midi = false;                                    // MIDI surfaces and map of Tavrelia.conf
    bool remote = false;   // serve the phone remote
    QString beat;          // the beat the scenes follow: tap, midi, link or audio; empty: none
    bool timecode = false;   // chase the show's timecode list, the source of [Timecode]
    bool help = false;

    // Whether the command line is the player's: it names one of the player's options
    // other than --help.
    static bool requested(int argc, char** argv);
    // The options, or nothing with the reason in error. Arguments exclude the
    // program's name.
    static std::optional<PlayerOptions> parse(const QStringList& arguments, QString* error);
    static QString usage();
};

}  // namespace tavrelia
