#include "events/Event_State.h"

#include "common/Temp_AppData.h"
#include "support/Error_Handler.h"

#include <gtest/gtest.h>

namespace {
class Recording_Presenter final : public Error_Presenter {
public:
  void Present_Error(const QStringList &lines) override { reports << lines.join(QLatin1Char('\n')); }
  QStringList reports;
};

class Validate : public testing::Test {
protected:
  Temp_AppData appdata;
  Recording_Presenter presenter;
  void SetUp() override {
    Set_Error_Presenter(&presenter);
    Event_State::Event_Present = true;
  }
  void TearDown() override {
    Set_Error_Presenter(nullptr);
    Event_State::Event_Present = false;
  }
};
} // namespace

TEST_F(Validate, AFileWithContentPassesWhateverItHolds) {
  EXPECT_TRUE(Validate_XML_file(appdata.Write(QStringLiteral("any.xml"), "not even XML")));
  EXPECT_TRUE(Event_State::Event_Present);
  EXPECT_TRUE(presenter.reports.isEmpty());
}

TEST_F(Validate, AnEmptyFileFailsAndLeavesNoEvent) {
  EXPECT_FALSE(Validate_XML_file(appdata.Write(QStringLiteral("empty.xml"), QByteArray())));
  EXPECT_FALSE(Event_State::Event_Present);
  EXPECT_TRUE(presenter.reports.isEmpty());
}

TEST_F(Validate, AMissingFileIsReported) {
  EXPECT_FALSE(Validate_XML_file(appdata.File(QStringLiteral("missing.xml"))));
  ASSERT_EQ(presenter.reports.size(), 1);
  EXPECT_TRUE(presenter.reports[0].contains(QStringLiteral("Validate_XML_file of Module Module_dependant")))
      << presenter.reports[0].toStdString();
  EXPECT_TRUE(Event_State::Event_Present) << "only an empty file says there is no event";
}
