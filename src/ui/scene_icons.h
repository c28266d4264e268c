#pragma once

#include <QIcon>

namespace tavrelia {

// Pictures of the scene buttons: a scene card with the operation's mark.
enum class SceneGlyph {
    Insert,
    Delete,
    Clear,
    CopyPrevious,
    CopyToBuffer,
    PasteReplace,
    PasteNew,
    AutoAdd,
};

QIcon sceneIcon(SceneGlyph glyph);

}  // namespace tavrelia
