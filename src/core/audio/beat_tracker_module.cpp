// The entry of the beat tracker's module; see beat_finder_loader.h.
#include "audio/beat_tracker.h"

extern "C" __attribute__((visibility("default"))) tavrelia::BeatFinder* tavreliaBeatTracker(int rate)
{
    return new tavrelia::BeatTracker(rate);
}
