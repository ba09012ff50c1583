// The panels of the main window follow the crop size; the results window minimises with it.

#include "app/Stand_Ins.h"
#include "app/ui/Form_Lurcher.h"
#include "ui_Form_Lurcher.h"

#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "support/ui/Window_Helpers.h"

#include <gtest/gtest.h>

namespace {
class Layout_Test : public testing::Test {
protected:
  void SetUp() override { form_.show(); }
  void Crop(std::int16_t x, std::int16_t y) {
    form_.Crop_X = x;
    form_.Crop_Y = y;
    form_.Set_Cropping();
  }
  int Gap() const { return Twips_To_Pixels_Y(form_, 20); }
  void Expect_Arranged() {
    const QWidget &picture = *form_.ui->Picture_out;
    const QWidget &settimes = *form_.ui->Frame_settimes;
    const QWidget &controls = *form_.ui->Frame_controls;
    EXPECT_TRUE(settimes.isVisible());
    EXPECT_EQ(settimes.y(), Bottom_Edge(picture) + Gap()) << "the time frame directly under the picture";
    EXPECT_GT(controls.x(), Right_Edge(picture)) << "the controls clear the picture";
    if (controls.height() >= picture.height()) {
      EXPECT_GT(controls.x(), Right_Edge(settimes));
    }
    EXPECT_GE(form_.ui->centralwidget->width(), Right_Edge(controls));
    EXPECT_EQ(form_.ui->centralwidget->height(), std::max(Bottom_Edge(controls), Bottom_Edge(settimes)));
  }

  Temp_AppData appdata_;
  Scripted_Operator &op_ = Scripted_Operator::Install();
  Form_Lurcher form_;
};

TEST_F(Layout_Test, TheWindowIsDesignedAsItsPanels) {
  EXPECT_EQ(form_.windowTitle(), QStringLiteral("Lurcher HDMI"));
  const QWidget &picture = *form_.ui->Picture_out;
  EXPECT_GE(form_.ui->Frame_settimes->y(), Bottom_Edge(picture)) << "the time frame under the picture";
  EXPECT_GE(form_.ui->Frame_controls->x(), Right_Edge(picture)) << "the control column to the right";
  const QWidget *frames[] = {form_.ui->Frame_heat, form_.ui->Frame_Control_status, form_.ui->Frame_Control_box,
                             form_.ui->Frame_dogs_Heat};
  for (const QWidget *frame : frames)
    EXPECT_EQ(frame->parentWidget(), form_.ui->Frame_controls) << frame->objectName().toStdString();
}

TEST_F(Layout_Test, TheCropSizeSetsThePictureAndThePanelsFollow) {

  Crop(400, 880);
  const int border = Twips_To_Pixels_X(form_, 40);
  EXPECT_EQ(form_.ui->Picture_out->size(), QSize(400 + border, 880 + Twips_To_Pixels_Y(form_, 40)));
  Expect_Arranged();
  const QSize tall = form_.size();

  Crop(576, 720);
  Expect_Arranged();
  EXPECT_LT(form_.height(), tall.height()) << "shorter";
  EXPECT_GT(form_.width(), tall.width()) << "wider";

  Crop(600, 1080);
  Expect_Arranged();
  EXPECT_GT(form_.height(), tall.height());
}

TEST_F(Layout_Test, AHiddenTimeFrameIsShownAgain) {
  form_.ui->Frame_settimes->hide();
  form_.Arrange_form();
  EXPECT_TRUE(form_.ui->Frame_settimes->isVisible());
}

TEST_F(Layout_Test, AWidePictureIsNeverCoveredByTheControls) {
  form_.ui->Picture_out->resize(900, 500); // as an opened file may bring
  form_.Arrange_form();
  Expect_Arranged();
}

TEST_F(Layout_Test, LooseFocusGivesThePictureTheFocus) {
  form_.ui->Text_filename->setFocus();
  form_.Loose_Focus();
  EXPECT_EQ(form_.focusWidget(), form_.ui->Picture_out);
}

TEST_F(Layout_Test, WithNoFileUnderReviewNothingIsReadOnly) {
  EXPECT_FALSE(form_.Check_Read_Only());
  EXPECT_TRUE(op_.Prompts().empty());
}

class Minimise_Test : public Layout_Test {
protected:
  void SetUp() override {
    Layout_Test::SetUp();
    Stand_In::Lend_Results_Window(&results_);
  }
  void TearDown() override { Stand_In::Lend_Results_Window(nullptr); }
  QWidget results_;
};

TEST_F(Minimise_Test, TheResultsWindowMinimisesAndReturnsWithTheMainWindow) {
  results_.show();
  form_.showMinimized();
  EXPECT_TRUE(results_.isMinimized());
  form_.showNormal();
  EXPECT_FALSE(results_.isMinimized());
  EXPECT_TRUE(results_.isVisible());
}

TEST_F(Minimise_Test, AHiddenResultsWindowStaysHidden) {
  form_.showMinimized();
  form_.showNormal();
  EXPECT_FALSE(results_.isVisible());
  EXPECT_FALSE(results_.isMinimized());
}
} // namespace
