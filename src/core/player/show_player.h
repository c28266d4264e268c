#pragma once

#include <QObject>
#include <QString>

#include <cstdio>
#include <optional>
#include <QStringList>

#include "player/player_options.h"
#include "show/atomic_file.h"

namespace tavrelia {

class Console;

// The show without a window: the same console, link, output tick and sequencer as
// the window uses, started from the command line and reporting on two streams.
class ShowPlayer : public QObject {
    Q_OBJECT
public:
    ShowPlayer(Console& console, PlayerOptions options, std::FILE* out = stdout,
               std::FILE* err = stderr);

    // Reads the show (or the conveyor list and the shows it names) and the recoding
    // table, and starts the connections the command line asks for with their
    // settings. The exit code when any of them is wrong (2 for a bad value in
    // Tavrelia.conf, 1 otherwise), with the reason on the error stream; nothing has
    // been sent then.
    std::optional<int> prepare();
    // Starts the output tick and plays from scene 0: the show, or the conveyor's list
    // from its first show.
    void start();
    // The clean end: the sequencer and the tick stop, the last packet goes out (all
    // zeros unless the levels are to be held) and the interface is closed.
    void finish();

private:
    bool fail(const QString& message);
    void warn(const QString& message) const;
    void say(const QString& line) const;
    bool prepareShow();
    bool prepareConveyor();
    // The connections asked for started; the exit code when one cannot run.
    std::optional<int> startConnections();
    // What the player says of the connections once the show plays.
    void reportConnections();
    void reportMidiDevices();
    // Follows the beat of --beat, joining the Link session for link.
    void startBeat();
    void reportLinkSession();
    void reportAudioInput();
    void reportBeatTempo(double bpm);
    QString tempoText() const;
    // The show just put in: its tempo and automat settings in force, and a line that
    // starts with firstWords and says them.
    void takeShow(const QString& firstWords);
    void conveyorLoaded(const FileResult& result);
    void reportLink();
    void reportScene();
    void reportTimecodeList();

    Console& console_;
    PlayerOptions options_;
    QStringList chosen_;   // the connections asked for
    QString showPath_;   // or the conveyor list's
    int conveyorShows_ = 0;
    std::FILE* out_;
    std::FILE* err_;
    std::optional<bool> lastOpen_;
    QStringList midiDevices_;   // the MIDI devices last reported open
    int linkPeers_ = -1;        // last reported
    int audioState_ = 0;        // the sound input's, last reported (Off)
    bool audioFound_ = false;
    int beatTempo_ = 0;         // last reported, whole beats a minute
};

}  // namespace tavrelia
