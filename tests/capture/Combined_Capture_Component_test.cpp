// The program's capture component: the sources of its backends numbered one after another,
// every call handed to the backend of the selected source.

#include "Capture_Test_Sink.h"
#include "Fake_Capture_Component.h"
#include "capture/Combined_Capture_Component.h"
#include "support/Clock.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList Source_Names(Capture_Component &component) {
  QStringList names;
  for (int n = 1; n <= 20 && component.SelectSource(QStringLiteral("video:%1").arg(n)); ++n)
    names << component.GetValue(QStringLiteral("sourceFriendlyName"));
  return names;
}

TEST(Capture_Sources, DevicesFirstThenThePatternWhenAskedForAndTheTrackLast) {
  qunsetenv("LURCHER_GST_TEST_SOURCE");
  const QStringList without = Source_Names(*Create_Capture_Component());
  qputenv("LURCHER_GST_TEST_SOURCE", "1");
  const std::unique_ptr<Capture_Component> with = Create_Capture_Component();
  const QStringList listed = Source_Names(*with);
  qunsetenv("LURCHER_GST_TEST_SOURCE");
  ASSERT_FALSE(without.isEmpty());
  EXPECT_EQ(without.last(), QStringLiteral("Lurcher test track"));
  EXPECT_EQ(without.last(), Embedded_Source_Friendly_Name());
  EXPECT_FALSE(without.contains(QStringLiteral("GStreamer test pattern")));
  ASSERT_EQ(listed.size(), without.size() + 1);
  EXPECT_EQ(with->Source_Count(), listed.size());
  EXPECT_EQ(listed.last(), QStringLiteral("Lurcher test track"));
  EXPECT_EQ(listed[listed.size() - 2], QStringLiteral("GStreamer test pattern"));
  EXPECT_FALSE(with->SelectSource(QStringLiteral("video:%1").arg(listed.size() + 1)));
  EXPECT_FALSE(with->LastError().isEmpty());
  // The track answers its own values through the listing.
  ASSERT_TRUE(with->SelectSource(QStringLiteral("video:%1").arg(listed.size())));
  EXPECT_TRUE(with->SetValue(QStringLiteral("TrackSeed"), QStringLiteral("5")));
  EXPECT_EQ(with->GetValue(QStringLiteral("numprops")), QStringLiteral("4"));
  EXPECT_TRUE(with->LastError().isEmpty());
}

// Two fake backends, two sources and one: "video:3" is the second backend's "video:1".
class Combined_Test : public testing::Test {
protected:
  void SetUp() override {
    Set_Clock(&clock_);
    auto a = std::make_unique<Fake_Capture_Component>(std::vector<Fake_Source>{
        {QStringLiteral("Cam A"), {Fake_Format(720, 576)}}, {QStringLiteral("Cam B"), {Fake_Format(1920, 1080)}}});
    auto b = std::make_unique<Fake_Capture_Component>(
        std::vector<Fake_Source>{{QStringLiteral("Track"), {Fake_Format(1280, 720, 200000), Fake_Format(720, 576)}}});
    a_ = a.get();
    b_ = b.get();
    std::vector<std::unique_ptr<Capture_Component>> backends;
    backends.push_back(std::move(a));
    backends.push_back(std::move(b));
    combined_ = std::make_unique<Combined_Capture_Component>(std::move(backends));
  }
  void TearDown() override {
    combined_.reset();
    Set_Clock(nullptr);
  }
  Manual_Clock clock_{500000};
  Fake_Capture_Component *a_ = nullptr;
  Fake_Capture_Component *b_ = nullptr;
  std::unique_ptr<Combined_Capture_Component> combined_;
  Capture_Test_Sink sink_;
};

TEST_F(Combined_Test, SourcesAreNumberedAcrossTheBackends) {
  EXPECT_EQ(combined_->Source_Count(), 3);
  EXPECT_EQ(Source_Names(*combined_),
            (QStringList{QStringLiteral("Cam A"), QStringLiteral("Cam B"), QStringLiteral("Track")}));
  EXPECT_TRUE(a_->calls.contains(QStringLiteral("SelectSource video:2")));
  EXPECT_TRUE(b_->calls.contains(QStringLiteral("SelectSource video:1")));
  EXPECT_FALSE(b_->calls.contains(QStringLiteral("SelectSource video:3")));
  for (const QString &name : {QStringLiteral("video:0"), QStringLiteral("video:4"), QStringLiteral("video:x"),
                              QStringLiteral("audio:1"), QString()}) {
    EXPECT_FALSE(combined_->SelectSource(name)) << name.toStdString();
    EXPECT_FALSE(combined_->LastError().isEmpty());
  }
  EXPECT_TRUE(combined_->SelectSource(QStringLiteral("VIDEO:3")));
  EXPECT_TRUE(combined_->LastError().isEmpty());
}

TEST_F(Combined_Test, TheSelectedSourcesBackendAnswersAndRuns) {
  ASSERT_NE(combined_->AdviseSink(&sink_), 0);
  ASSERT_TRUE(combined_->SelectSource(QStringLiteral("video:3")));
  a_->calls.clear();
  b_->calls.clear();
  EXPECT_EQ(combined_->GetValue(QStringLiteral("numprops")), QStringLiteral("2"));
  EXPECT_TRUE(combined_->SetValue(QStringLiteral("SetFormat"), QStringLiteral("1")));
  EXPECT_EQ(combined_->Current_Format()->width, 720);
  EXPECT_EQ(combined_->Format_Record(0)->frame_time_100ns, 200000);
  EXPECT_FALSE(combined_->Format_Record(2));
  EXPECT_TRUE(combined_->SetValue(QStringLiteral("CaptureFps"), QStringLiteral("25")));
  ASSERT_TRUE(combined_->Run());
  EXPECT_TRUE(combined_->Is_Running());
  EXPECT_EQ(b_->calls, (QStringList{QStringLiteral("GetValue numprops"), QStringLiteral("SetValue SetFormat 1"),
                                    QStringLiteral("SetValue CaptureFps 25"), QStringLiteral("Run")}));
  // The cap holds whichever source runs next; nothing else reaches the other backend.
  EXPECT_EQ(a_->calls, (QStringList{QStringLiteral("SetValue CaptureFps 25"), QStringLiteral("Stop")}));
  // The running backend's frames reach the one sink.
  b_->Deliver(Fake_Picture(8, 4));
  ASSERT_EQ(sink_.frames.size(), 1u);
  EXPECT_EQ(sink_.frames[0].frame.width, 8);
  // Its failures too, with its text as the last error.
  b_->Fail(QStringLiteral("unplugged"));
  EXPECT_EQ(sink_.errors, (std::vector<QString>{QStringLiteral("unplugged")}));
  EXPECT_EQ(combined_->LastError(), QStringLiteral("unplugged"));
  EXPECT_FALSE(combined_->Is_Running());
}

TEST_F(Combined_Test, KeepingEveryFrameAndStoppingReachEveryBackend) {
  combined_->Set_Keep_Every_Frame(true);
  EXPECT_TRUE(a_->keep_every_frame);
  EXPECT_TRUE(b_->keep_every_frame);
  ASSERT_TRUE(combined_->SelectSource(QStringLiteral("video:1")));
  ASSERT_TRUE(combined_->Run());
  combined_->Set_Keep_Every_Frame(false);
  EXPECT_FALSE(a_->keep_every_frame);
  EXPECT_FALSE(b_->keep_every_frame);
  combined_->Stop();
  EXPECT_FALSE(combined_->Is_Running());
  EXPECT_TRUE(b_->calls.contains(QStringLiteral("Stop")));
}

TEST_F(Combined_Test, ARunBeforeAnySelectionRunsTheFirstSource) {
  ASSERT_TRUE(combined_->Run());
  EXPECT_TRUE(a_->Is_Running());
  EXPECT_FALSE(b_->Is_Running());
  EXPECT_EQ(combined_->GetValue(QStringLiteral("sourceFriendlyName")), QStringLiteral("Cam A"));
}

TEST_F(Combined_Test, ChoosingAnotherSourceStopsTheRunningOne) {
  ASSERT_TRUE(combined_->SelectSource(QStringLiteral("video:3")));
  ASSERT_TRUE(combined_->Run());
  ASSERT_TRUE(combined_->SelectSource(QStringLiteral("video:2")));
  EXPECT_FALSE(b_->Is_Running());
  EXPECT_EQ(combined_->GetValue(QStringLiteral("sourceFriendlyName")), QStringLiteral("Cam B"));
}

TEST_F(Combined_Test, UnadvisedSinkHearsNoBackend) {
  const std::int32_t cookie = combined_->AdviseSink(&sink_);
  combined_->UnadviseSink(cookie + 1); // not ours: nothing changes
  a_->Deliver(Fake_Picture(4, 4));
  EXPECT_EQ(sink_.frames.size(), 1u);
  combined_->UnadviseSink(cookie);
  a_->Deliver(Fake_Picture(4, 4));
  b_->Deliver(Fake_Picture(4, 4));
  EXPECT_EQ(sink_.frames.size(), 1u);
}

} // namespace
