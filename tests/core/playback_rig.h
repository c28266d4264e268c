#pragma once

#include "playback/conveyor.h"
#include "playback/sequencer.h"
#include "console_state.h"
#include "show/settings_file.h"
#include "show/show_files.h"
#include "show/show_folder.h"

namespace tavrelia::test {

// The sequencer and the conveyor, which hand the show to each other at the wrap, and
// the show files the conveyor loads through. Nothing here clears the show for New.
struct PlaybackRig {
    ConsoleState state;
    ShowFolder folder;
    SettingsFile settings;
    ShowFiles showFiles{{state.image, folder, state.consoleLock, {}}};
    Sequencer sequencer{{state.image, state.play, state.controls, conveyor, state.consoleLock}};
    Conveyor conveyor{{settings, showFiles, state.image, sequencer, state.consoleLock}};
};

}  // namespace tavrelia::test
