#pragma once

#include <QImage>

namespace tavrelia {

// The type pictures of the channel strips (ImageListGobo): 16 x 16 pictograms on
// black, index 0..141 as the colour file stores it. 0 is an open beam; 1, 2 and 7
// are blank; 3..12 beam effects and gobos; 13..22 colour disks; 23..75 colour wheel,
// gobo shapes, split colours, prisms, colour temperature, ultraviolet, reset, colour
// patches and strobe; 76..141 general pictograms. Each is drawn when asked for (a
// desk shows a handful of the 142); past the list the picture is null.
constexpr int kGoboPictures = 142;
QImage goboPicture(int index);

}  // namespace tavrelia
