#pragma once
// Small helpers for windows: fitting a text, copying the screen, the close command,
// staying on top, edges of a control, and twips for the sizes the windows are designed in.

#include <QString>
#include <cstdint>

class QWidget;
class Picture_Box;

// The largest even font size from 110 down to 8 at which text, in Arial, is narrower and
// lower than the picture; 8 when none fits. The picture keeps that font. A failure shows
// "Max_Font error! " with its number and description and gives 0.
int Max_Font(Picture_Box &picture, const QString &text);

// Copies an image of the screen to the clipboard, then waits 500 ms processing events.
void Copy_Screen();

// Enables or disables closing a window by the operator (title-bar button, window menu,
// keyboard); the program itself can still close it. 0 done, 255 no window.
int Enable_Close_Button(QWidget *window, bool enable);
bool Close_Button_Enabled(const QWidget *window);

// Keeps the window above all others, where it is and at its size.
void Make_Top_Most(QWidget *window);

int Right_Edge(const QWidget &control);  // left + width
int Bottom_Edge(const QWidget &control); // top + height

// Twips (1/1440 inch) to pixels at the window's logical resolution.
int Twips_To_Pixels_X(const QWidget &widget, std::int32_t twips);
int Twips_To_Pixels_Y(const QWidget &widget, std::int32_t twips);
