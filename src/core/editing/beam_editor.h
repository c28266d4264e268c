#pragma once

#include <optional>
#include <vector>

#include "console_lock.h"
#include "editing/figure_maker.h"
#include "playback/play_state.h"
#include "show/show_image.h"

namespace tavrelia {

class SceneList;

// The pan and tilt channels of one pair: side by side, or with the fine pan
// channel of a 16-bit device between them.
struct XyPair {
    int x = 1;
    int y = 2;
    // From a channel bar position 0..253 (X is position + 1).
    static XyPair fromBar(int position, bool gap) { return {position + 1, position + (gap ? 3 : 2)}; }
};

// The beam editor's work on the show: a range of scenes is a path, scene k of the
// range holding its k-th point in the pair's two channels. The figures, moves,
// turns and copies write those channels; the pad finds and drags single points.
// Every write takes the console lock and stays inside the range's scenes.
class BeamEditor {
public:
    static constexpr int kNone = 300;          // FoundScene when nothing was found
    static constexpr int kSearchRadius = 3;
    enum class Drag { None, Move, Size };      // left and right button drags

    // The show it draws in, the play state that keeps the current scene, and the
    // scene list that keeps the undo copy.
    struct Parts {
        ShowImage& image;
        const PlayState& play;
        SceneList& sceneList;
        ConsoleLock& lock;
    };
    explicit BeamEditor(Parts parts) : parts_(parts) {}

    // The range's points in order (a copy taken under the lock).
    std::vector<XyPoint> path(SceneRange range, XyPair pair) const;

    // False when the figure cannot be made on this range: nothing is written.
    bool makeFigure(FigureMaker::Figure figure, SceneRange range, XyPair pair, int size, int option);
    // One step of move, mirror or size code 1..8 for every point of the range.
    void ButtonRepeat(int code, SceneRange range, XyPair pair);
    void RotateArea(SceneRange range, XyPair pair, int angle);
    // The range's points into the other pairs, after an undo snapshot.
    void copyToPairs(SceneRange range, XyPair from, const std::vector<XyPair>& targets);

    // The lowest-numbered scene of the range whose point is within 3 of (x, y)
    // becomes FoundScene; false (FoundScene kept) when there is none.
    bool SearchScena(SceneRange range, XyPair pair, int x, int y);
    // Mouse down on the pad: a left-button drag looks for a point there. With
    // changeScene the point's scene becomes current (the show grows to it), except
    // while the show plays. Returns true when the current scene was changed.
    bool padPressed(Drag drag, SceneRange range, XyPair pair, int x, int y, bool changeScene);
    // During a left-button drag the found point follows the mouse.
    struct Moved {
        int scene;
        XyPoint from;
    };
    std::optional<Moved> dragFoundTo(XyPair pair, int x, int y);
    void padReleased() { DragMode = Drag::None; }

    int RepeatMode = 0;
    Drag DragMode = Drag::None;
    int FoundScene = kNone;

private:
    XyPoint point(int scene, XyPair pair) const;
    void setPoint(const ConsoleLock::Guard& held, int scene, XyPair pair, XyPoint p);

    Parts parts_;
};

}  // namespace tavrelia
