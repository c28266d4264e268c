// The ALSA sequencer's module entry: the port MIDI opens for programs of this machine.

#include "midi/alsa_sequencer_port.h"

extern "C" tavrelia::SequencerPort* tavreliaSequencerPort()
{
    return new tavrelia::AlsaSequencerPort();
}
