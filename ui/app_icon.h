#pragma once
// The program's icon, drawn in code: a red hose cabinet with a white hose reel and a blue
// water drop. The window icon and the Windows .ico are both made from this one drawing.

class QIcon;
class QImage;

namespace ui {

// The drawing at size × size pixels, ARGB with transparent corners.
QImage drawAppIcon(int size);

// The window icon: the drawing at 16, 32 and 48 px, rendered when first asked for.
QIcon appIcon();

}  // namespace ui
