#pragma once

#include <QIcon>
#include <QStyle>

namespace tavrelia {

// The style's standard icon, fetched the first time the icon is painted, and only in
// the sizes it is painted at. Asking the style at once reads every size of the picture
// from its files (up to 128 x 128) and keeps them all, for buttons that a hidden tab or
// window may never show.
QIcon styleIcon(QStyle::StandardPixmap which);

}  // namespace tavrelia
