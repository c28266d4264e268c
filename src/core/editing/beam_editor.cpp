#include "editing/beam_editor.h"

#include <cstdlib>

#include "editing/scene_list.h"

namespace tavrelia {

XyPoint BeamEditor::point(int scene, XyPair pair) const
{
    const ShowImage& image = parts_.image;
    const auto s = static_cast<uint8_t>(scene);
    return {image.DataRead(s, static_cast<uint8_t>(pair.x)), image.DataRead(s, static_cast<uint8_t>(pair.y))};
}

void BeamEditor::setPoint(const ConsoleLock::Guard&, int scene, XyPair pair, XyPoint p)
{
    ShowImage& image = parts_.image;
    const auto s = static_cast<uint8_t>(scene);
    image.DataWrite(s, static_cast<uint8_t>(pair.x), p.x);
    image.DataWrite(s, static_cast<uint8_t>(pair.y), p.y);
}

std::vector<XyPoint> BeamEditor::path(SceneRange range, XyPair pair) const
{
    std::vector<XyPoint> points;
    points.reserve(range.count());
    auto guard = parts_.lock.hold();
    for (int i = range.firstIndex(); i <= range.lastIndex(); ++i)
        points.push_back(point(i, pair));
    return points;
}

bool BeamEditor::makeFigure(FigureMaker::Figure figure, SceneRange range, XyPair pair, int size,
                            int option)
{
    const auto points = FigureMaker(range, size, option).make(figure);
    if (!points)
        return false;
    auto guard = parts_.lock.hold();
    for (int k = 0; k < range.count(); ++k)
        setPoint(guard, range.firstIndex() + k, pair, (*points)[k]);
    return true;
}

void BeamEditor::ButtonRepeat(int code, SceneRange range, XyPair pair)
{
    auto guard = parts_.lock.hold();
    for (int i = range.firstIndex(); i <= range.lastIndex(); ++i)
        setPoint(guard, i, pair, FigureMaker::repeatStep(code, point(i, pair)));
}

void BeamEditor::RotateArea(SceneRange range, XyPair pair, int angle)
{
    if (angle == 0)
        return;
    auto guard = parts_.lock.hold();
    for (int i = range.firstIndex(); i <= range.lastIndex(); ++i) {
        const XyPoint p = point(i, pair);
        setPoint(guard, i, pair, FigureMaker::RotateXY(p.x, p.y, angle));
    }
}

void BeamEditor::copyToPairs(SceneRange range, XyPair from, const std::vector<XyPair>& targets)
{
    parts_.sceneList.ToMemoryUndo();
    auto guard = parts_.lock.hold();
    for (int i = range.firstIndex(); i <= range.lastIndex(); ++i) {
        const XyPoint p = point(i, from);
        for (const XyPair& to : targets)
            setPoint(guard, i, to, p);
    }
}

bool BeamEditor::SearchScena(SceneRange range, XyPair pair, int x, int y)
{
    auto guard = parts_.lock.hold();
    for (int i = range.firstIndex(); i <= range.lastIndex(); ++i) {
        const XyPoint p = point(i, pair);
        if (std::abs(p.x - x) <= kSearchRadius && std::abs(p.y - y) <= kSearchRadius) {
            FoundScene = i;
            return true;
        }
    }
    return false;
}

bool BeamEditor::padPressed(Drag drag, SceneRange range, XyPair pair, int x, int y, bool changeScene)
{
    DragMode = drag;
    FoundScene = kNone;
    if (drag == Drag::Move)
        SearchScena(range, pair, x, y);
    if (parts_.play.PlayFlag || FoundScene == kNone || !changeScene)
        return false;
    auto guard = parts_.lock.hold();
    ShowImage& image = parts_.image;
    const auto found = static_cast<uint8_t>(FoundScene);
    image[ShowImage::kCurrentScene] = found;
    if (image.lastScene() < found)
        image[ShowImage::kLastScene] = found;
    return true;
}

std::optional<BeamEditor::Moved> BeamEditor::dragFoundTo(XyPair pair, int x, int y)
{
    if (DragMode != Drag::Move || FoundScene >= 255)
        return std::nullopt;
    auto guard = parts_.lock.hold();
    const Moved moved{FoundScene, point(FoundScene, pair)};
    setPoint(guard, FoundScene, pair, {x, y});
    return moved;
}

}  // namespace tavrelia
