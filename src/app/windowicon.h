// The window's icon, read from the PNGs in the icon resource.
#pragma once

#include <QIcon>

namespace vorn {

// The icon in every size the resource holds (":/icons/vornwick-<size>.png").
// A size's image is read only once something asks for the icon's pictures:
// a desktop that shows window icons asks as the window is shown; Qt's
// offscreen platform (and Wayland, which takes the icon from the desktop
// file) never does, and then start-up reads and decodes no image at all.
QIcon vornwickIcon();

} // namespace vorn
