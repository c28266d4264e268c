#pragma once

#include <array>
#include <cstdint>

#include "console_lock.h"
#include "show/show_image.h"

namespace tavrelia {

// A run of scenes, both ends included; empty when last < first.
struct SceneSpan {
    int first = 0;
    int last = -1;
    bool empty() const { return last < first; }
    bool contains(int scene) const { return scene >= first && scene <= last; }
};

// One channel's level across the scenes as a bar chart of 512 x 256 pixels, drawn
// with the mouse. The edited channel is a bar position 0..255 (channel position +
// 1); position 255 is byte 256 of a scene record, the next record's byte 0. The
// graph writes while the show plays and takes no undo snapshot.
class LevelGraph {
public:
    static constexpr int kWidth = 512;
    static constexpr int kHeight = 256;
    static constexpr int kZoomPositions = 4;
    static constexpr int kNewShowZoom = 3;
    enum class Tool { Arrow, Pen, Line };
    enum class Button { Left, Right, Other };

    LevelGraph(ShowImage& image, ConsoleLock& lock) : image_(image), lock_(lock) {}

    // Zoom bar position 0..3: 1/256, 2/128, 4/64, 8/32.
    void setZoomPosition(int position);
    int zoom() const { return GraphZoom; }
    int pageScenes() const { return GraphPageScenes; }
    int columnWidth() const { return 2 * GraphZoom; }
    int pageStart(int page) const { return page * GraphPageScenes; }
    // The zoom bar position an opened show gets: 256 div LastScene, at most 3;
    // a show of one scene (LastScene 0) gets 3 too.
    static int zoomPositionFor(int lastScene);
    // The graph's own bar for the show's last scene.
    void setLastScene(int scene);

    // Scene number under column x (negative left of the box); used modulo 256.
    int sceneAt(int x, int page) const;
    // Level under row y, the row clamped into the box.
    static int levelAt(int y);
    static int wrap(int scene) { return (scene % 256 + 256) % 256; }

    uint8_t level(int scene, int channelPosition) const;
    // The levels of the page's columns (a copy taken under the lock).
    struct Page {
        std::array<uint8_t, 256> levels{};
        int first = 0;
        int count = 0;
        int currentScene = 0;
        int lastScene = 0;
        int lineStart = 0;
    };
    Page page(int page, int channelPosition) const;

    // Mouse press and moves with a button held: the tool writes the level under
    // the mouse, a left press starts a line and a right press with the line tool
    // ends it. Each returns the scenes it wrote (for what must be repainted).
    SceneSpan press(Button button, Tool tool, int x, int y, int page, int channelPosition);
    SceneSpan move(Tool tool, int x, int y, int page, int channelPosition);
    void release() { GraphMouseDown = false; }

    // The line from GraphLineStart to `scene`: the left end keeps its level and
    // every scene to its right up to the right end is rewritten in equal steps.
    SceneSpan interpolate(int scene, int channelPosition);

    int GraphLineStart = 1;
    bool GraphMouseDown = false;

private:
    SceneSpan drawAt(Tool tool, int scene, int level, int channelPosition);
    void store(const ConsoleLock::Guard& held, int scene, int channelPosition, int level);

    ShowImage& image_;
    ConsoleLock& lock_;
    int GraphZoom = 1;
    int GraphPageScenes = 256;
};

}  // namespace tavrelia
