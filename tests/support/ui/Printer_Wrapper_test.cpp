#include "support/Failure.h"
#include "support/ui/Printer_Wrapper.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
constexpr double a4_width_twips = 595.276 * 20;
constexpr double a4_height_twips = 841.89 * 20;

class Printer_Wrapper_Test : public testing::Test {
protected:
  QTemporaryDir dir;
  QString pdf = dir.filePath(QStringLiteral("print.pdf"));
  std::unique_ptr<Printer_Wrapper> printer = Printer_Wrapper::To_Pdf(pdf);

  // Pages of the PDF, counted by their page objects.
  int Pdf_Pages() const {
    QFile f(pdf);
    if (!f.open(QIODevice::ReadOnly))
      return -1;
    const QByteArray bytes = f.readAll();
    return static_cast<int>(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page/") +
                            bytes.count("/Type /Page "));
  }
};

TEST_F(Printer_Wrapper_Test, PdfPrinterIsAvailableAndNamedAfterItsFile) {
  EXPECT_TRUE(printer->Available());
  EXPECT_TRUE(printer->Is_Pdf());
  EXPECT_TRUE(printer->DeviceName().contains(QStringLiteral("PDF")));
  EXPECT_FALSE(Printer_Wrapper(QStringLiteral("No such printer in any office")).Available());
}

TEST_F(Printer_Wrapper_Test, SizesAreTwipsOfThePage) {
  EXPECT_NEAR(printer->Width(), a4_width_twips, 1);
  EXPECT_NEAR(printer->Height(), a4_height_twips, 1);
  EXPECT_GT(printer->ScaleWidth(), 0.8 * a4_width_twips);
  EXPECT_LE(printer->ScaleWidth(), a4_width_twips + 1);
  EXPECT_LE(printer->ScaleHeight(), a4_height_twips + 1);
  printer->Set_Landscape(true);
  EXPECT_NEAR(printer->Width(), a4_height_twips, 1);
}

TEST_F(Printer_Wrapper_Test, FontSizeIsInPointsWhateverTheResolution) {
  printer->Set_FontSize(10);
  const double line10 = printer->TextHeight();
  // A 10 point line is about 11.5 points high: 230 twips.
  EXPECT_GT(line10, 200);
  EXPECT_LT(line10, 300);
  const double width10 = printer->TextWidth(QStringLiteral("Lurcher dog race timing system"));
  printer->Set_FontSize(20);
  EXPECT_NEAR(printer->TextHeight(), 2 * line10, 0.1 * line10);
  EXPECT_NEAR(printer->TextWidth(QStringLiteral("Lurcher dog race timing system")), 2 * width10, 0.1 * width10);
  EXPECT_NEAR(printer->TextHeight(QStringLiteral("a\nb")), 2 * printer->TextHeight(), 0.5);
}

TEST_F(Printer_Wrapper_Test, PrintMovesToTheNextLineOrAlongIt) {
  printer->Set_CurrentX(500);
  printer->Set_CurrentY(1000);
  const double step = printer->TextHeight();
  printer->Print(QStringLiteral("Heat: 3"));
  EXPECT_EQ(printer->CurrentX(), 0);
  EXPECT_NEAR(printer->CurrentY(), 1000 + step, 1e-9);

  printer->Set_CurrentX(500);
  printer->Print(QStringLiteral("Printed by"), false);
  EXPECT_NEAR(printer->CurrentX(), 500 + printer->TextWidth(QStringLiteral("Printed by")), 1e-9);
  EXPECT_NEAR(printer->CurrentY(), 1000 + step, 1e-9);
  printer->Print(QStringLiteral(" printer: PDF"));
  printer->Print_Empty_Line();
  EXPECT_NEAR(printer->CurrentY(), 1000 + 3 * step, 1e-9);

  const QList<Printed_Item> &items = printer->Items();
  ASSERT_EQ(items.size(), 3);
  EXPECT_EQ(items[0].text, QStringLiteral("Heat: 3"));
  EXPECT_EQ(items[0].area.topLeft(), QPointF(500, 1000));
  EXPECT_EQ(items[2].area.left(), items[1].area.right());
  EXPECT_EQ(items[2].area.top(), items[1].area.top());
}

TEST_F(Printer_Wrapper_Test, TextWithLineBreaksKeepsItsLeftEdge) {
  printer->Set_CurrentX(300);
  printer->Print(QStringLiteral("first\r\nsecond\nthird"));
  const QList<Printed_Item> &items = printer->Items();
  ASSERT_EQ(items.size(), 3);
  for (const Printed_Item &item : items)
    EXPECT_EQ(item.area.left(), 300) << item.text.toStdString();
  EXPECT_NEAR(items[2].area.top() - items[0].area.top(), 2 * printer->TextHeight(), 1e-9);
}

TEST_F(Printer_Wrapper_Test, ItemsKeepTheirFont) {
  printer->Set_FontName(QStringLiteral("Courier new"));
  printer->Set_FontSize(18);
  printer->Set_FontBold(true);
  printer->Set_FontUnderline(true);
  printer->Print(QStringLiteral("  Dog Name"));
  printer->Set_FontUnderline(false);
  printer->Set_FontItalic(true);
  printer->Print(QStringLiteral("1  4  Swift"));
  const QList<Printed_Item> &items = printer->Items();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0].font_name, QStringLiteral("Courier new"));
  EXPECT_EQ(items[0].font_size, 18);
  EXPECT_TRUE(items[0].bold && items[0].underline && !items[0].italic);
  EXPECT_TRUE(items[1].bold && !items[1].underline && items[1].italic);
}

TEST_F(Printer_Wrapper_Test, LineMovesThePositionToItsEnd) {
  printer->Set_DrawWidth(10);
  printer->Line(1000, 2000, 9000, 2000);
  EXPECT_EQ(printer->CurrentX(), 9000);
  EXPECT_EQ(printer->CurrentY(), 2000);
  ASSERT_EQ(printer->Items().size(), 1);
  EXPECT_EQ(printer->Items()[0].line, QLineF(1000, 2000, 9000, 2000));
  EXPECT_EQ(printer->Items()[0].colour, QColor(Qt::black));
  printer->Set_DrawWidth(0);
  EXPECT_EQ(printer->DrawWidth(), 1);
}

TEST_F(Printer_Wrapper_Test, PictureOwnSizeFollowsItsResolution) {
  QImage picture(100, 50, QImage::Format_RGB32);
  picture.fill(Qt::red);
  picture.setDotsPerMeterX(3780); // 96 dots per inch: 15 twips a pixel
  picture.setDotsPerMeterY(3780);
  printer->Paint_Picture(picture, 800, 1200);
  picture.setDotsPerMeterX(0);
  picture.setDotsPerMeterY(0);
  printer->Paint_Picture(picture, 0, 0, 3000, 2000);
  const QList<Printed_Item> &items = printer->Items();
  ASSERT_EQ(items.size(), 2);
  EXPECT_NEAR(items[0].area.width(), 1500, 1);
  EXPECT_NEAR(items[0].area.height(), 750, 1);
  EXPECT_EQ(items[0].area.topLeft(), QPointF(800, 1200));
  EXPECT_EQ(items[1].area, QRectF(0, 0, 3000, 2000));
  EXPECT_EQ(items[1].picture_size, QSize(100, 50));
}

TEST_F(Printer_Wrapper_Test, NewPageAndEndDocWriteThePages) {
  printer->Print(QStringLiteral("page one"));
  printer->New_Page();
  EXPECT_EQ(printer->CurrentY(), 0);
  EXPECT_EQ(printer->Page(), 2);
  printer->Print(QStringLiteral("page two"));
  EXPECT_TRUE(printer->Printing());
  printer->End_Doc();
  EXPECT_FALSE(printer->Printing());
  EXPECT_EQ(printer->Documents_Ended(), 1);
  EXPECT_GT(QFileInfo(pdf).size(), 0);
  EXPECT_EQ(Pdf_Pages(), 2);
  EXPECT_EQ(printer->Items().back().page, 2) << "the record stays until the next document";
}

TEST_F(Printer_Wrapper_Test, EndDocWithNothingDrawnPrintsNothing) {
  printer->Set_CurrentY(500);
  printer->End_Doc();
  EXPECT_EQ(printer->Documents_Ended(), 0);
  EXPECT_FALSE(QFileInfo::exists(pdf));
  EXPECT_EQ(printer->CurrentY(), 0);
}

TEST_F(Printer_Wrapper_Test, NextDocumentStartsAFreshRecord) {
  printer->Print(QStringLiteral("one"));
  printer->End_Doc();
  printer->Print(QStringLiteral("two"));
  ASSERT_EQ(printer->Items().size(), 1);
  EXPECT_EQ(printer->Items()[0].text, QStringLiteral("two"));
  printer->Kill_Doc();
  EXPECT_FALSE(printer->Printing());
}

TEST_F(Printer_Wrapper_Test, PainterDrawsInTwips) {
  // Draw_Surface users (the bitmap) get the same twips space as the printer's own calls.
  QPainter &p = printer->Painter();
  EXPECT_NEAR(p.transform().m11(), printer->Resolution() / 1440.0, 1e-9);
  printer->End_Doc();
  EXPECT_EQ(printer->Documents_Ended(), 1);
}

TEST_F(Printer_Wrapper_Test, RefusedFailuresRaise) {
  EXPECT_THROW(printer->Set_FontSize(0), Lurcher_Failure) << "a size that fits nothing";
  EXPECT_THROW(printer->Paint_Picture(QImage(), 0, 0), Lurcher_Failure);
  auto nowhere = Printer_Wrapper::To_Pdf(dir.filePath(QStringLiteral("missing/folder/print.pdf")));
  try {
    nowhere->Print(QStringLiteral("lost"));
    FAIL() << "printing into a missing folder succeeded";
  } catch (const Lurcher_Failure &f) {
    EXPECT_EQ(f.Number(), Printer_Wrapper::Err_Printer);
    EXPECT_EQ(f.Description(), QStringLiteral("Printer error"));
  }
}

TEST(Current_Printer, CanBeReplacedAndRestored) {
  QTemporaryDir dir;
  auto pdf = Printer_Wrapper::To_Pdf(dir.filePath(QStringLiteral("x.pdf")));
  Printer_Wrapper *installed = pdf.get();
  Set_Current_Printer(std::move(pdf));
  EXPECT_EQ(&Current_Printer(), installed);
  EXPECT_TRUE(Printer_Available());
  Set_Current_Printer(nullptr);
  EXPECT_FALSE(Current_Printer().Is_Pdf());
  Set_Current_Printer(nullptr);
}
} // namespace
