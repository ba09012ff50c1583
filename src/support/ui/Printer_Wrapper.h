#pragma once
// The printer as the print procedures know it: a current position, a font and pages.
// Coordinates and sizes are twips (1/1440 inch) from the top-left of the printable area.
// Print writes a text with its top at the current position and moves to the start of the
// next line; a document begins with the first drawing and ends with End_Doc. Underneath is
// QPainter on QPrinter, aimed at the default printer, a named one or a PDF file.
//
// Everything put on paper through the wrapper is also kept as a list of items, so that a
// print can be checked without reading the output back.

#include "support/Draw_Surface.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <memory>

class QPrinter;

struct Printed_Item {
  enum class Kind { Text, Line, Picture, New_Page };
  Kind kind = Kind::Text;
  int page = 1;
  QString text;       // Text
  QRectF area;        // Text: the box of the text; Picture: where it landed
  QLineF line;        // Line
  QSize picture_size; // Picture: its pixels
  QString font_name;
  double font_size = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  QColor colour;
};

class Printer_Wrapper final : public Draw_Surface {
public:
  // Printer error, the failure a refused or broken print job raises.
  static constexpr std::int16_t Err_Printer = 482;

  // printer_name empty: the system's default printer.
  explicit Printer_Wrapper(const QString &printer_name = QString());
  // A printer that writes the document to a PDF file (replaced by each new document).
  static std::unique_ptr<Printer_Wrapper> To_Pdf(const QString &path);
  ~Printer_Wrapper() override; // an unfinished document is ended
  Printer_Wrapper(const Printer_Wrapper &) = delete;
  Printer_Wrapper &operator=(const Printer_Wrapper &) = delete;

  // Whether there is something to print on: the PDF file, the named printer or any printer.
  bool Available() const;
  bool Is_Pdf() const { return !pdf_path_.isEmpty(); }
  QString Pdf_Path() const { return pdf_path_; }
  QString DeviceName() const;
  QString DriverName() const;
  // The QPrinter itself, for the printer dialog and page settings the wrapper does not name.
  QPrinter &Device() { return *printer_; }

  // Page settings; they apply from the next document on.
  int Copies() const;
  void Set_Copies(int copies);
  bool Landscape() const;
  void Set_Landscape(bool landscape);
  bool Colour() const; // false: the printer prints grey
  void Set_Colour(bool colour);

  // Paper size (Width, Height) and printable size (ScaleWidth, ScaleHeight), twips.
  double Width() const;
  double Height() const;
  std::int32_t ScaleWidth() const override;
  std::int32_t ScaleHeight() const override;
  double ScaleTop() const { return 0; }
  // Printer dots per inch.
  int Resolution() const;

  double CurrentX() const { return current_x_; }
  double CurrentY() const { return current_y_; }
  void Set_CurrentX(double x) { current_x_ = x; }
  void Set_CurrentY(double y) { current_y_ = y; }

  QString FontName() const { return font_.family(); }
  double FontSize() const { return font_.pointSizeF(); }
  bool FontBold() const { return font_.bold(); }
  bool FontItalic() const { return font_.italic(); }
  bool FontUnderline() const { return font_.underline(); }
  void Set_FontName(const QString &name) { font_.setFamily(name); }
  void Set_FontSize(double points);
  void Set_FontBold(bool bold) { font_.setBold(bold); }
  void Set_FontItalic(bool italic) { font_.setItalic(italic); }
  void Set_FontUnderline(bool underline) { font_.setUnderline(underline); }

  QColor ForeColor() const { return fore_color_; }
  void Set_ForeColor(const QColor &colour) { fore_color_ = colour; }
  // Line width in printer dots.
  std::int32_t DrawWidth() const { return draw_width_; }
  void Set_DrawWidth(std::int32_t dots) { draw_width_ = dots < 1 ? 1 : dots; }

  // Size of a text in the current font, twips. The height is the line step of Print.
  double TextWidth(const QString &text) const;
  double TextHeight(const QString &text = QString()) const;

  // Prints text with its top-left at the current position. With new_line the position goes
  // to the left edge (x 0) of the next line, otherwise to the end of the text. A text with
  // line breaks prints each part under the previous one, starting at the same x.
  void Print(const QString &text, bool new_line = true);
  // Moves down one line of the current font; x goes to 0.
  void Print_Empty_Line();
  // A line in ForeColor (or colour) and DrawWidth; the current position moves to its end.
  void Line(double x1, double y1, double x2, double y2, const QColor &colour = QColor());
  // Draws the picture scaled into the rectangle. A width or height below 0 means the
  // picture's own size (its pixels at its resolution, 96 dots per inch when it has none).
  void Paint_Picture(const QImage &picture, double x, double y, double width = -1, double height = -1);
  // Ends the page; the position goes to 0, 0.
  void New_Page();
  // Sends the document to the printer (or closes the PDF file). Nothing happens when
  // nothing was drawn.
  void End_Doc();
  // Abandons the document being drawn.
  void Kill_Doc() noexcept;
  bool Printing() const { return painter_.isActive(); }

  // Draw_Surface: a painter in twips on the current page, the document begun if needed.
  QPainter &Painter() override;

  // What the current (or last) document held, and how many documents were ended.
  const QList<Printed_Item> &Items() const { return items_; }
  int Documents_Ended() const { return documents_ended_; }
  int Page() const { return page_; }

private:
  Printer_Wrapper(std::unique_ptr<QPrinter> printer, const QString &pdf_path);
  void Begin_Doc();
  QFont Drawing_Font() const; // font_ in twips, for the painter's twips space
  double Twips_Per_Dot() const;
  Printed_Item Item(Printed_Item::Kind kind) const;
  void Print_One_Line(const QString &text);

  std::unique_ptr<QPrinter> printer_;
  QString printer_name_;
  QString pdf_path_;
  QPainter painter_;
  QFont font_;
  QColor fore_color_ = Qt::black;
  std::int32_t draw_width_ = 1;
  double current_x_ = 0;
  double current_y_ = 0;
  int page_ = 1;
  int documents_ended_ = 0;
  QList<Printed_Item> items_;
};

// The printer the program prints on. It starts as the default printer and keeps the choice
// of the printer dialog until the program ends.
Printer_Wrapper &Current_Printer();
// Replaces it (tests install a PDF printer here). nullptr: the default printer again.
void Set_Current_Printer(std::unique_ptr<Printer_Wrapper> printer);
// Whether the current printer has anything to print on.
bool Printer_Available();
