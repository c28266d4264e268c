#pragma once

#include <QObject>
#include <QString>

#include <cstdio>
#include <optional>

#include "output/interface_settings.h"
#include "player/player_options.h"

namespace tavrelia {

class Console;

// The show without a window: the same console, link, output tick and sequencer as
// the window uses, started from the command line and reporting on two streams.
class ShowPlayer : public QObject {
    Q_OBJECT
public:
    ShowPlayer(Console& console, PlayerOptions options, std::FILE* out = stdout,
               std::FILE* err = stderr);

    // Reads the settings, the show and the recoding table. False, with the reason on
    // the error stream, when any of them is wrong; nothing has been changed or
    // started then.
    bool prepare();
    // Opens the interface, starts the output tick and plays from scene 0.
    void start();
    // The clean end: the sequencer and the tick stop, the last packet goes out (all
    // zeros unless the levels are to be held) and the interface is closed.
    void finish();

private:
    bool fail(const QString& message);
    void say(const QString& line) const;
    QString interfaceText() const;
    void reportLink();
    void reportScene();

    Console& console_;
    PlayerOptions options_;
    InterfaceSettings settings_;
    QString showPath_;
    std::FILE* out_;
    std::FILE* err_;
    std::optional<bool> lastOpen_;
};

}  // namespace tavrelia
