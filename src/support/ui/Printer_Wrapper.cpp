#include "support/ui/Printer_Wrapper.h"

#include "support/Checked.h"
#include "support/Failure.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {
constexpr double twips_per_inch = 1440.0;
constexpr double twips_per_point = 20.0;
constexpr double twips_per_mm = twips_per_inch / 25.4;
constexpr int pdf_dots_per_inch = 600; // like the office laser, so line widths look the same
constexpr std::int16_t err_invalid_picture = 481;

[[noreturn]] void Printer_Failure() { Raise(Printer_Wrapper::Err_Printer, QStringLiteral("Printer error")); }

// The parts of a text between its line breaks (CR LF, LF or CR).
QStringList Text_Lines(const QString &text) {
  static const QRegularExpression line_break(QStringLiteral("\r\n|\n|\r"));
  return text.split(line_break);
}
} // namespace

Printer_Wrapper::Printer_Wrapper(const QString &printer_name)
    : Printer_Wrapper(std::make_unique<QPrinter>(QPrinter::HighResolution), QString()) {
  printer_name_ = printer_name;
  if (!printer_name.isEmpty())
    printer_->setPrinterName(printer_name);
}

Printer_Wrapper::Printer_Wrapper(std::unique_ptr<QPrinter> printer, const QString &pdf_path)
    : printer_(std::move(printer)), pdf_path_(pdf_path), font_(QStringLiteral("Arial"), 10) {}

std::unique_ptr<Printer_Wrapper> Printer_Wrapper::To_Pdf(const QString &path) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(path);
  printer->setResolution(pdf_dots_per_inch);
  printer->setPageSize(QPageSize(QPageSize::A4));
  return std::unique_ptr<Printer_Wrapper>(new Printer_Wrapper(std::move(printer), path));
}

Printer_Wrapper::~Printer_Wrapper() {
  if (painter_.isActive())
    painter_.end();
}

bool Printer_Wrapper::Available() const {
  if (Is_Pdf())
    return true;
  if (!printer_name_.isEmpty())
    return !QPrinterInfo::printerInfo(printer_name_).isNull();
  return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QString Printer_Wrapper::DeviceName() const {
  return Is_Pdf() ? QStringLiteral("PDF file ") + QFileInfo(pdf_path_).fileName() : printer_->printerName();
}

QString Printer_Wrapper::DriverName() const {
  return Is_Pdf() ? QStringLiteral("PDF") : QPrinterInfo::printerInfo(printer_->printerName()).makeAndModel();
}

int Printer_Wrapper::Copies() const { return printer_->copyCount(); }
void Printer_Wrapper::Set_Copies(int copies) { printer_->setCopyCount(copies < 1 ? 1 : copies); }
bool Printer_Wrapper::Landscape() const { return printer_->pageLayout().orientation() == QPageLayout::Landscape; }
void Printer_Wrapper::Set_Landscape(bool landscape) {
  printer_->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}
bool Printer_Wrapper::Colour() const { return printer_->colorMode() == QPrinter::Color; }
void Printer_Wrapper::Set_Colour(bool colour) {
  printer_->setColorMode(colour ? QPrinter::Color : QPrinter::GrayScale);
}

// Millimetres rather than points: the page sizes in points are rounded to whole points.
double Printer_Wrapper::Width() const {
  return printer_->pageLayout().fullRect(QPageLayout::Millimeter).width() * twips_per_mm;
}

double Printer_Wrapper::Height() const {
  return printer_->pageLayout().fullRect(QPageLayout::Millimeter).height() * twips_per_mm;
}

std::int32_t Printer_Wrapper::ScaleWidth() const {
  return Checked_32(Round_Half_Even(printer_->pageLayout().paintRect(QPageLayout::Millimeter).width() * twips_per_mm));
}

std::int32_t Printer_Wrapper::ScaleHeight() const {
  return Checked_32(Round_Half_Even(printer_->pageLayout().paintRect(QPageLayout::Millimeter).height() * twips_per_mm));
}

int Printer_Wrapper::Resolution() const { return printer_->resolution(); }

double Printer_Wrapper::Twips_Per_Dot() const {
  const int dpi = printer_->resolution();
  return twips_per_inch / (dpi > 0 ? dpi : pdf_dots_per_inch);
}

void Printer_Wrapper::Set_FontSize(double points) {
  // A size that fits nothing would make "shrink until it fits" loops run for ever.
  if (!(points > 0))
    Raise(Err_Invalid_Call, Failure_Description(Err_Invalid_Call));
  font_.setPointSizeF(points);
}

QFont Printer_Wrapper::Drawing_Font() const {
  // The painter works in twips, so the font is sized in twips rather than in points,
  // which the painter would otherwise scale a second time.
  QFont f = font_;
  f.setPixelSize(static_cast<int>(Round_Half_Even(font_.pointSizeF() * twips_per_point)));
  return f;
}

double Printer_Wrapper::TextWidth(const QString &text) const {
  const QFontMetricsF fm(Drawing_Font(), printer_.get());
  double widest = 0;
  for (const QString &part : Text_Lines(text))
    widest = std::max(widest, fm.horizontalAdvance(part));
  return widest;
}

double Printer_Wrapper::TextHeight(const QString &text) const {
  const QFontMetricsF fm(Drawing_Font(), printer_.get());
  const auto lines = text.isEmpty() ? 1 : Text_Lines(text).size();
  return fm.lineSpacing() * static_cast<double>(lines);
}

void Printer_Wrapper::Begin_Doc() {
  items_.clear();
  page_ = 1;
  if (!painter_.begin(printer_.get()))
    Printer_Failure();
  painter_.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  const double dots_per_twip = 1.0 / Twips_Per_Dot();
  painter_.scale(dots_per_twip, dots_per_twip);
}

QPainter &Printer_Wrapper::Painter() {
  if (!painter_.isActive())
    Begin_Doc();
  return painter_;
}

Printed_Item Printer_Wrapper::Item(Printed_Item::Kind kind) const {
  Printed_Item item;
  item.kind = kind;
  item.page = page_;
  item.font_name = font_.family();
  item.font_size = font_.pointSizeF();
  item.bold = font_.bold();
  item.italic = font_.italic();
  item.underline = font_.underline();
  item.colour = fore_color_;
  return item;
}

void Printer_Wrapper::Print_One_Line(const QString &text) {
  QPainter &p = Painter();
  if (text.isEmpty())
    return;
  const QFont f = Drawing_Font();
  const QFontMetricsF fm(f, printer_.get());
  p.setFont(f);
  p.setPen(fore_color_);
  p.drawText(QPointF(current_x_, current_y_ + fm.ascent()), text);
  Printed_Item item = Item(Printed_Item::Kind::Text);
  item.text = text;
  item.area = QRectF(current_x_, current_y_, fm.horizontalAdvance(text), fm.height());
  items_ << item;
}

void Printer_Wrapper::Print(const QString &text, bool new_line) {
  const QStringList parts = Text_Lines(text);
  const double left = current_x_;
  const double step = TextHeight();
  for (qsizetype i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    Print_One_Line(parts[i]);
    if (!last) {
      current_x_ = left;
      current_y_ += step;
    } else if (new_line) {
      current_x_ = 0;
      current_y_ += step;
    } else {
      current_x_ += TextWidth(parts[i]);
    }
  }
}

void Printer_Wrapper::Print_Empty_Line() { Print(QString()); }

void Printer_Wrapper::Line(double x1, double y1, double x2, double y2, const QColor &colour) {
  QPainter &p = Painter();
  const QColor c = colour.isValid() ? colour : fore_color_;
  p.setPen(QPen(c, draw_width_ * Twips_Per_Dot()));
  p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
  Printed_Item item = Item(Printed_Item::Kind::Line);
  item.line = QLineF(x1, y1, x2, y2);
  item.colour = c;
  items_ << item;
  current_x_ = x2;
  current_y_ = y2;
}

void Printer_Wrapper::Paint_Picture(const QImage &picture, double x, double y, double width, double height) {
  if (picture.isNull())
    Raise(err_invalid_picture, QStringLiteral("Invalid picture"));
  const double dpm_x = picture.dotsPerMeterX();
  const double dpm_y = picture.dotsPerMeterY();
  const double dpi_x = dpm_x > 0 ? dpm_x * 0.0254 : 96.0;
  const double dpi_y = dpm_y > 0 ? dpm_y * 0.0254 : 96.0;
  const double w = width < 0 ? picture.width() * twips_per_inch / dpi_x : width;
  const double h = height < 0 ? picture.height() * twips_per_inch / dpi_y : height;
  QPainter &p = Painter();
  p.drawImage(QRectF(x, y, w, h), picture);
  Printed_Item item = Item(Printed_Item::Kind::Picture);
  item.area = QRectF(x, y, w, h);
  item.picture_size = picture.size();
  items_ << item;
}

void Printer_Wrapper::New_Page() {
  Painter();
  if (!printer_->newPage())
    Printer_Failure();
  ++page_;
  current_x_ = 0;
  current_y_ = 0;
  items_ << Item(Printed_Item::Kind::New_Page);
}

void Printer_Wrapper::End_Doc() {
  current_x_ = 0;
  current_y_ = 0;
  if (!painter_.isActive())
    return;
  const bool sent = painter_.end();
  ++documents_ended_;
  if (!sent || printer_->printerState() == QPrinter::Error)
    Printer_Failure();
}

void Printer_Wrapper::Kill_Doc() noexcept {
  try {
    if (painter_.isActive()) {
      printer_->abort();
      painter_.end();
    }
    current_x_ = 0;
    current_y_ = 0;
  } catch (...) {
    // Abandoning a job must not fail the caller that is already handling a failure.
  }
}

namespace {
std::unique_ptr<Printer_Wrapper> &current_printer() {
  static std::unique_ptr<Printer_Wrapper> printer;
  return printer;
}
} // namespace

Printer_Wrapper &Current_Printer() {
  auto &printer = current_printer();
  if (!printer)
    printer = std::make_unique<Printer_Wrapper>();
  return *printer;
}

void Set_Current_Printer(std::unique_ptr<Printer_Wrapper> printer) { current_printer() = std::move(printer); }

bool Printer_Available() { return Current_Printer().Available(); }
