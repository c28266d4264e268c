#include "editing/level_graph.h"

#include <algorithm>
#include <cstdlib>

namespace tavrelia {

namespace {
SceneSpan united(SceneSpan a, SceneSpan b)
{
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    return {std::min(a.first, b.first), std::max(a.last, b.last)};
}

// Byte `channelPosition + 1` of the scene's record; position 255 reaches the next
// record's byte 0 (for scene 255, the image's spare byte).
int address(int scene, int channelPosition)
{
    return ShowImage::sceneAddress(static_cast<uint8_t>(LevelGraph::wrap(scene))) + channelPosition + 1;
}
}  // namespace

void LevelGraph::setZoomPosition(int position)
{
    GraphZoom = 1 << std::clamp(position, 0, kZoomPositions - 1);
    GraphPageScenes = 256 / GraphZoom;
}

void LevelGraph::setLastScene(int scene)
{
    auto guard = lock_.hold();
    image_[ShowImage::kLastScene] = static_cast<uint8_t>(std::clamp(scene, 0, 255));
}

int LevelGraph::zoomPositionFor(int lastScene)
{
    if (lastScene == 0)
        return kNewShowZoom;
    return std::min(256 / lastScene, kZoomPositions - 1);
}

int LevelGraph::sceneAt(int x, int page) const
{
    return x / 2 / GraphZoom + pageStart(page);
}

int LevelGraph::levelAt(int y)
{
    return 255 - std::clamp(y, 0, 255);
}

uint8_t LevelGraph::level(int scene, int channelPosition) const
{
    return image_[address(scene, channelPosition)];
}

void LevelGraph::store(const ConsoleLock::Guard&, int scene, int channelPosition, int level)
{
    image_[address(scene, channelPosition)] = ShowImage::clampLevel(level);
}

LevelGraph::Page LevelGraph::page(int page, int channelPosition) const
{
    Page shown;
    shown.first = pageStart(page);
    shown.count = GraphPageScenes;
    shown.lineStart = GraphLineStart;
    auto guard = lock_.hold();
    for (int i = 0; i < shown.count; ++i)
        shown.levels[i] = level(shown.first + i, channelPosition);
    shown.currentScene = image_.currentScene();
    shown.lastScene = image_.lastScene();
    return shown;
}

SceneSpan LevelGraph::drawAt(Tool tool, int scene, int level, int channelPosition)
{
    auto guard = lock_.hold();
    if (tool != Tool::Pen) {
        store(guard, scene, channelPosition, level);
        return {wrap(scene), wrap(scene)};
    }
    // The pen runs to scene 254; left of the box it starts on scene 255 and wraps.
    if (scene >= 255)
        return {};
    for (int j = scene; j <= 254; ++j)
        store(guard, j, channelPosition, level);
    return scene < 0 ? SceneSpan{0, 255} : SceneSpan{scene, 254};
}

SceneSpan LevelGraph::press(Button button, Tool tool, int x, int y, int page, int channelPosition)
{
    const int scene = sceneAt(x, page);
    GraphMouseDown = true;
    if (button == Button::Left)
        GraphLineStart = wrap(scene);
    SceneSpan written = drawAt(tool, scene, levelAt(y), channelPosition);
    if (button == Button::Right && tool == Tool::Line)
        written = united(written, interpolate(wrap(scene), channelPosition));
    return written;
}

SceneSpan LevelGraph::move(Tool tool, int x, int y, int page, int channelPosition)
{
    if (!GraphMouseDown)
        return {};
    return drawAt(tool, sceneAt(x, page), levelAt(y), channelPosition);
}

SceneSpan LevelGraph::interpolate(int scene, int channelPosition)
{
    auto guard = lock_.hold();
    const int start = GraphLineStart;
    const int l0 = level(start, channelPosition);
    const int l1 = level(scene, channelPosition);
    const int dL = std::abs(l1 - l0);
    const int dS = std::abs(scene - start);
    if (dS == 0)
        return {};
    // Truncated: the right end falls short of its clicked level.
    const int step = dL / dS;
    const int rising = l0 < l1 ? step : l0 > l1 ? -step : 0;
    const SceneSpan span = scene > start ? SceneSpan{start + 1, scene} : SceneSpan{scene + 1, start};
    // From the left end's level: L0 going right, L1 going left.
    int v = scene > start ? l0 : l1;
    const int delta = scene > start ? rising : -rising;
    for (int t = span.first; t <= span.last; ++t) {
        v += delta;
        store(guard, t, channelPosition, v);
    }
    return span;
}

}  // namespace tavrelia
