#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>

#include "output/output_controls.h"
#include "midi/midi_parser.h"
#include "playback/beat.h"
#include "playback/clock_beat.h"
#include "playback/conveyor.h"
#include "playback/tap_beat.h"
#include "playback/tap_tempo.h"
#include "timecode/timecode.h"

namespace tavrelia {

class Automats;
class ChannelDesk;
class HandScan;
class AudioInput;
class LinkSession;
class Sequencer;
class ShowImage;
class UsbLink;
struct ControlState;

// The operator's live controls, a call each, and the states a surface shows, a change
// signal each. The window, its keys, the headless player and every remote drive the
// desk through here, so what one of them does, all of them show.
//
// Thread: the user-interface thread (the one that runs the event loop). Each call
// takes the console lock for its own change only.
class Controls : public QObject {
    Q_OBJECT
public:
    static constexpr int kPictures = 16;
    static constexpr int kStrips = 27;
    static constexpr int kConveyorButtons = Conveyor::kButtons;
    static constexpr int kAutomats = 2;
    static constexpr int kChannels = 255;

    // The beat and the sources the controls feed: a clock's messages, taps, the
    // Link session's switch.
    struct Beats {
        Beat& beat;
        ClockBeat& clock;
        TapBeat& taps;
        LinkSession& link;
        AudioInput& audio;
    };
    // What the console builds this from: the modules whose state the controls change.
    struct Parts {
        Sequencer& sequencer;
        OutputControls output;
        ChannelDesk& desk;
        Automats& automats;
        Conveyor& conveyor;
        HandScan& handScan;
        UsbLink& link;
        const ShowImage& image;
        const ControlState& state;
        Beats beat;
        Timecode& timecode;
        // Told of every change of the output a control makes between ticks.
        std::function<void()> outputChanged = {};
    };
    explicit Controls(Parts parts, QObject* parent = nullptr);

    // The show.
    void play();
    void stop();
    // The show stops where it is, the play buttons and the show clock as they were:
    // the blackout, the picture editor opening and a new show do this.
    void halt();
    // Plays from scene 1..scenes(): the scene becomes current at once, and the show
    // moves on at the end of the running period.
    void go(int scene);
    // The scene after or before the current one, whether or not the show plays.
    void next();
    void prev();
    // Scene time, as the tempo bar sets it (10..170: the period is its square in ms).
    // A tempo other than the stored one also gives up a tempo taken from the beat.
    void setTempo(int tempo);
    // A beat tapped. Not following the beat: from the second tap on, the scene period
    // is the mean interval of the last four taps, starting now; the show's stored
    // tempo stays as it is. Following the taps, each tap is a beat; following another
    // source, the taps' tempo is proposed to it (a Link session takes it).
    void tap();
    // Following the beat of the source chosen (tap, midi, link, audio): with it on,
    // a scene changes every BeatsPerScene (1, 2, 4 or 8) beats, on the beats that are
    // multiples of it, and the scene period is that many beats of the source's tempo.
    // A MIDI clock's or a Link session's start plays from the first scene on the next
    // scene's beat, Continue plays on, Stop stops. A source silent for 2 s leaves the
    // sequencer its last tempo; switched off, the show's own tempo is back.
    void setClockFollow(bool on);
    void setBeatsPerScene(int beats);
    // A source without a beat here (an unknown name) leaves the choice as it was.
    void setBeatSource(const QString& name);
    // A clock's real-time message (pulse, start, continue, stop), read at `at`.
    void clockMessage(MidiMessage::Kind kind, TapTempo::Clock::time_point at);

    // Timecode: a MIDI timecode message as it arrives (quarter frame, full frame).
    void timecodeMessage(const MidiMessage& message);
    // Chasing the show's timecode list: the sequencer's own stepping (and following
    // the beat) is off meanwhile, the rows change the scenes.
    void setTimecodeChase(bool on);
    // Recording: every scene change made here while the timecode runs becomes a row.
    void setTimecodeRecord(bool on);

    // The output.
    void setBlackOut(bool on);
    void setMode(int mode);   // OutputEngine::Fadera, Avtomat or Vykl
    // Picture 1..16 on or off, as its box in the window; off also clears a latch.
    void setPicture(int picture, bool on);
    // A remote's finger on picture 1..16: on while held; the release leaves a
    // latched picture on.
    void releasePicture(int picture);
    // Latched, a picture stays on whatever releases it, until the latch is cleared.
    void latchPicture(int picture, bool on);
    // The macro button: the blackout with picture 16 over it. Letting it go leaves
    // the blackout as it is.
    void setMacro(bool down);

    // The conveyor: button 1..20 clicked as in the window, and its mode.
    void pressConveyor(int button);
    void setConveyorMode(Conveyor::Mode mode);

    // The desk's current page: its first channel offset 0..228, and strip 1..27's
    // fader (0..255) and manual box; with the desk's manual switch on, the checked
    // strips' faders hold their channels on the output.
    void setManual(bool on);
    void setPage(int offset);
    // The show's data changed under the desk (an editor wrote the scene or the
    // selection): its boxes, or its boxes and faders, are taken from the show again.
    void reloadSelection();
    void reloadDesk();
    void setFader(int strip, int level);
    void setFaderManual(int strip, bool on);
    // Channel 1..255 whatever page the desk shows: through its strip when the page
    // shows it, otherwise the stopped scene takes the level (a playing one is left).
    void setChannel(int channel, int level);

    // Automat 1..2: run on its own, and run while the show plays.
    void setAutomatRun(int automat, bool on);
    void setAutomatWithShow(int automat, bool on);

    // The hand-scan pad: priority over the output, and the X/Y pair it puts out.
    void setHandPriority(bool on);
    void setHandPosition(int x, int y);

    // The keyboard: the hot keys at all (off, a name field gets every key), and the
    // conveyor's keys among them.
    void setKeys(bool on);
    void setConveyorKeys(bool on);

    // Demo: everything runs, nothing is written to the interface.
    void setDemo(bool on);

    // One second of the show clock.
    void clockTick();

    // What the controls show.
    int scene() const;    // 1..256
    int scenes() const;   // 1..256
    bool playing() const;
    int tempo() const;
    // The scene period in force, ms: the show tempo's or the one taken from the beat.
    int period() const;
    QString clockText() const;
    bool link() const;    // an interface takes the frames: not demo, not lost
    bool blackOut() const;
    int mode() const;
    bool macro() const;
    bool picture(int picture) const;
    bool pictureLatched(int picture) const;
    bool manual() const;
    int page() const;
    int fader(int strip) const;
    bool faderManual(int strip) const;
    int channel(int channel) const;   // its strip's fader, or its level in the scene
    bool automatRun(int automat) const;
    bool automatWithShow(int automat) const;
    bool clockFollow() const { return beat_.follow(); }
    int beatsPerScene() const { return beat_.beatsPerScene(); }
    QString beatSource() const { return beat_.source(); }
    double beatTempo() const { return beat_.bpm(); }   // beats a minute, 0 while unknown
    int beats() const { return beat_.beats(); }
    // When the followed clock's last pulse was read (nothing while none is known).
    ClockFollower::Clock::time_point lastPulse() const { return clockBeat_.lastPulse(); }
    bool linkEnabled() const;
    int linkPeers() const;
    bool timecodeChase() const { return timecode_.chase(); }
    bool timecodeRecord() const { return timecode_.record(); }
    // "HH:MM:SS:FF", empty while no timecode has been heard.
    QString timecodeText() const { return timecode_.text(); }
    // The sound input: running (or failed), and the confidence in its beat in per cent
    // (0 while none is found). Its level changes 20 times a second: the meter listens
    // to the input itself.
    bool audioEnabled() const;
    int audioConfidence() const;
    bool keys() const { return keys_; }
    bool conveyorKeys() const { return conveyorKeys_; }
    bool demo() const;
    bool handPriority() const;
    int handX() const;
    int handY() const;
    const Conveyor& conveyor() const { return conveyor_; }

    // The window's refresh and the sequencer changed what the controls show: the
    // signals of what changed go out.
    void refresh();

    // Where taps read the time (tests move a clock of their own).
    using Now = std::function<TapTempo::Clock::time_point()>;
    TapTempo::Clock::time_point now() const { return now_(); }
    void setClock(Now now)
    {
        now_ = std::move(now);
        beat_.setClock(now_);
    }

signals:
    void sceneChanged(int scene, int scenes);
    void playingChanged(bool playing);
    void tempoChanged(int tempo);
    void periodChanged(int periodMs);
    void clockFollowChanged(bool on);
    void beatsPerSceneChanged(int beats);
    void beatSourceChanged(const QString& name);
    void beatTempoChanged(double bpm);
    void beat();
    // The Link session's state or its peers.
    void linkSessionChanged();
    void timecodeChanged(const QString& text);
    void timecodeChaseChanged(bool on);
    void timecodeRecordChanged(bool on);
    // The sound input's state, or the confidence in its beat.
    void audioInputChanged();
    void clockChanged(const QString& text);
    void linkChanged(bool up);
    void blackOutChanged(bool on);
    void modeChanged(int mode);
    void macroChanged(bool down);
    void pictureChanged(int picture, bool on);
    void conveyorChanged();
    void manualChanged(bool on);
    void pageChanged(int offset);
    void faderChanged(int strip, int level);
    void faderManualChanged(int strip, bool on);
    void channelChanged(int channel, int level);
    void automatChanged(int automat);
    void handScanChanged(bool priority, int x, int y);
    void keysChanged(bool on);
    void conveyorKeysChanged(bool on);
    void demoChanged(bool on);

private:
    // The last state sent, to send only changes.
    struct Shown {
        int scene = -1;
        int scenes = -1;
        int playing = -1;
        int tempo = -1;
        int period = -1;
        int link = -1;
        int page = -1;
        std::array<int, kStrips> faders;
        std::array<int, kStrips> manual;
        Shown()
        {
            faders.fill(-1);
            manual.fill(-1);
        }
    };
    void step(int scene);
    void changed();
    void sendScene();
    void sendPlaying();
    void sendTempo();
    void sendPeriod();
    void sendLink();
    void sendDesk();
    static bool validStrip(int strip) { return strip >= 1 && strip <= kStrips; }

    Sequencer& sequencer_;
    OutputControls output_;
    ChannelDesk& desk_;
    Automats& automats_;
    Conveyor& conveyor_;
    HandScan& handScan_;
    UsbLink& link_;
    const ShowImage& image_;
    const ControlState& state_;
    Shown shown_;
    std::array<bool, kPictures> latched_{};
    TapTempo taps_;
    Beat& beat_;
    ClockBeat& clockBeat_;
    TapBeat& tapBeat_;
    LinkSession& linkSession_;
    Timecode& timecode_;
    AudioInput& audioInput_;
    int audioConfidence_ = 0;   // last announced
    Now now_ = [] { return TapTempo::Clock::now(); };
    std::function<void()> outputChanged_;
    bool keys_ = true;
    bool conveyorKeys_ = true;
};

}  // namespace tavrelia
