#include "app/ui/Lurcher_debug_form.h"
#include "ui_Lurcher_debug_form.h"

#include "support/Clock.h"
#include "support/Globals.h"
#include "support/ui/Printer_Wrapper.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
TEST(Lurcher_debug_form, ThePrintHeadsTheTextWithTimeComputerAndPrinter) {
  Manual_Clock clock(0, QDateTime(QDate(2018, 5, 23), QTime(14, 2, 7)));
  Set_Clock(&clock);
  Globals::Computer_Name = QStringLiteral("FINISH-PC");
  Lurcher_debug_form window;
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Lurcher debug"));
  window.ui->Text_debug->setPlainText(QStringLiteral("File = a.qk3\nFrames = 250"));
  EXPECT_EQ(window.Print_Lines(QStringLiteral("Office")),
            (QStringList{QStringLiteral("Lurcher file properties at 2018-05-23 14:02:07"),
                         QStringLiteral("Computer = FINISH-PC Printer : Office"), QString(), QString(),
                         QStringLiteral("File = a.qk3"), QStringLiteral("Frames = 250")}));
  Set_Clock(nullptr);
}

TEST(Lurcher_debug_form, PrintsInCourierFromATenthDownThePage) {
  QTemporaryDir folder;
  Set_Current_Printer(Printer_Wrapper::To_Pdf(folder.filePath(QStringLiteral("debug.pdf"))));
  Lurcher_debug_form window;
  window.ui->Text_debug->setPlainText(QStringLiteral("File = a.qk3"));
  window.ui->item_print->trigger();
  const Printer_Wrapper &printer = Current_Printer();
  EXPECT_EQ(printer.Documents_Ended(), 1);
  QStringList texts;
  for (const Printed_Item &item : printer.Items()) {
    if (item.kind != Printed_Item::Kind::Text)
      continue;
    texts << item.text;
    EXPECT_EQ(item.font_name, QStringLiteral("Courier New"));
    EXPECT_EQ(item.font_size, 14);
  }
  ASSERT_EQ(texts.size(), 3);
  EXPECT_TRUE(texts[0].startsWith(QStringLiteral("Lurcher file properties at ")));
  EXPECT_EQ(texts[2], QStringLiteral("File = a.qk3"));
  EXPECT_NEAR(printer.Items().first().area.top(), printer.ScaleHeight() / 10.0, 1.0);
  Set_Current_Printer(nullptr);
}

TEST(Lurcher_debug_form, AReportShowsLineByLineWithoutItsCarriageReturns) {
  Lurcher_debug_form window;
  window.Set_Text(QStringLiteral("File name = a.qk3\r\nImage Size: 400*880\r\n"));
  EXPECT_EQ(window.ui->Text_debug->toPlainText(), QStringLiteral("File name = a.qk3\nImage Size: 400*880\n"));
  EXPECT_EQ(window.Print_Lines(QString()).mid(4, 2),
            (QStringList{QStringLiteral("File name = a.qk3"), QStringLiteral("Image Size: 400*880")}));
}

TEST(Lurcher_debug_form, HideHidesTheWindow) {

  Lurcher_debug_form window;
  window.show();
  window.ui->item_hide->trigger();
  EXPECT_FALSE(window.isVisible());
}
} // namespace
