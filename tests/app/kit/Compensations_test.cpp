// The timing compensations: loading them from the settings file, and what a hand-edited
// value does to them.

#include "Kit_Test_Support.h"
#include "app/Compensations.h"
#include "app/Module_Lurcher.h"
#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"

#include <gtest/gtest.h>

namespace {
class Compensations_Test : public testing::Test {
protected:
  Temp_AppData app;
  Scripted_Operator &op = Scripted_Operator::Install();
  Recording_Presenter presenter;

  Compensations_Test() { Set_Values(-1, -2, -3); }
  ~Compensations_Test() override {
    Set_Values(200, 200, 0);
    op.Expect_All_Answered();
  }
  static void Set_Values(std::int32_t split, std::int32_t goal, std::int32_t box) {
    Module_Lurcher::Split_Compensation = split;
    Module_Lurcher::Goal_Compensation = goal;
    Module_Lurcher::Box_Delay = box;
  }
  void Store(const QString &key, const QString &value) {
    Write_INI(QStringLiteral("Settings"), key, value, Globals::Ini_File);
  }
};

TEST_F(Compensations_Test, MissingOrEmptySettingsGiveTheDefaults) {
  Store(QStringLiteral("goal_compensation"), QString());
  Load_Compensations();
  EXPECT_EQ(Module_Lurcher::Split_Compensation, 200);
  EXPECT_EQ(Module_Lurcher::Goal_Compensation, 200);
  EXPECT_EQ(Module_Lurcher::Box_Delay, 0);
  EXPECT_TRUE(presenter.reports.isEmpty());
}

TEST_F(Compensations_Test, StoredValuesAreLoadedWhateverTheCaseOfTheKey) {
  Store(QStringLiteral("split_compensation"), QStringLiteral("180"));
  Store(QStringLiteral("goal_compensation"), QStringLiteral(" 240 "));
  Store(QStringLiteral("Box_delay"), QStringLiteral("150"));
  Load_Compensations();
  EXPECT_EQ(Module_Lurcher::Split_Compensation, 180);
  EXPECT_EQ(Module_Lurcher::Goal_Compensation, 240);
  EXPECT_EQ(Module_Lurcher::Box_Delay, 150);
}

TEST_F(Compensations_Test, AHandEditedValueStopsTheLoadWhereItStands) {
  Store(QStringLiteral("split_compensation"), QStringLiteral("180"));
  Store(QStringLiteral("goal_compensation"), QStringLiteral("fast"));
  Store(QStringLiteral("box_delay"), QStringLiteral("150"));
  Load_Compensations();
  // Read before the bad one: updated. The bad one and those after: as they were.
  EXPECT_EQ(Module_Lurcher::Split_Compensation, 180);
  EXPECT_EQ(Module_Lurcher::Goal_Compensation, -2);
  EXPECT_EQ(Module_Lurcher::Box_Delay, -3);
  ASSERT_EQ(presenter.reports.size(), 1);
  EXPECT_TRUE(presenter.Reported(QStringLiteral("Load_Compensations of Form Form_Lurcher")));
}

TEST_F(Compensations_Test, OnlyWholeNumbersThatFit32BitsAreValues) {
  const struct {
    const char *text;
    std::int32_t value;
    std::int16_t failure;
  } cases[] = {
      {"0", 0, 0},
      {"150", 150, 0},
      {"-40", -40, 0},
      {"+7", 7, 0},
      {" 12 ", 12, 0},
      {"2147483647", INT32_MAX, 0},
      {"2147483648", 0, Err_Overflow},
      {"99999999999999999999", 0, Err_Overflow},
      {"12.5", 0, Err_Type_Mismatch},
      {"abc", 0, Err_Type_Mismatch},
      {"1e3", 0, Err_Type_Mismatch},
  };
  for (const auto &c : cases) {
    std::int16_t failure = 0;
    std::int32_t value = 0;
    try {
      value = Compensations::Compensation_Value(QString::fromLatin1(c.text));
    } catch (const Lurcher_Failure &f) {
      failure = f.Number();
    }
    EXPECT_EQ(failure, c.failure) << c.text;
    if (!c.failure) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST_F(Compensations_Test, SwitchesReadOnlyAnIntegerOtherThanZeroAsOn) {
  const struct {
    const char *stored;
    bool on;
  } cases[] = {{"1", true}, {"0", false}, {"", false}, {"yes", false}, {"-1", true}};
  for (const auto &c : cases) {
    Store(QStringLiteral("auto_init"), QString::fromLatin1(c.stored));
    EXPECT_EQ(Compensations::Switch_On(Compensations::Key_Auto_Init), c.on) << c.stored;
  }
  Compensations::Write_Switch(Compensations::Key_Auto_Init, false);
  EXPECT_EQ(Read_INI(QStringLiteral("Settings"), QStringLiteral("auto_init"), Globals::Ini_File, QString()),
            QStringLiteral("0"));
}
} // namespace
