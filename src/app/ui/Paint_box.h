#pragma once
// The box badge: a box number in its racing colours, used by every window that shows
// the boxes (main window, results, heat preview, event registration).

#include <QColor>
#include <cstdint>

class Picture_Box;

// Paints box 1..6 into picture and keeps it as the picture's stored picture. Another box
// number leaves a cleared picture.
void Paint_box(Picture_Box &picture, std::int16_t box);

struct Box_Colours {
  QColor background;
  QColor number;
};
// The racing colours of a box; box 6 also has shadow-coloured bands (Box_Band_Colour).
Box_Colours Box_Colours_Of(std::int16_t box);
QColor Box_Band_Colour();
