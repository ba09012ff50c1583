#pragma once
// The built-in test track as a capture component of its own: one source, "video:1", that
// needs no hardware (Test_Track_Source renders it). Besides the common values it answers
// "TrackTruth" (the latest race, "box tick" per dog) and takes "TrackSeed".

#include "capture/Delivering_Capture_Component.h"
#include "capture/Test_Track_Source.h"

class Test_Track_Component final : public Delivering_Capture_Component {
public:
  Test_Track_Component() = default;
  ~Test_Track_Component() override;

  static QString Friendly_Name() { return Test_Track_Source::Friendly_Name(); }

  bool SelectSource(const QString &name) override;
  int Source_Count() override { return 1; }
  QString GetValue(const QString &name) override;
  bool SetValue(const QString &name, const QString &value) override;
  std::optional<Capture_Format> Format_Record(int format_number) const override;
  std::optional<Capture_Format> Current_Format() const override { return Format_Record(format_); }
  bool Run() override;
  void Stop() override;
  bool Is_Running() const override { return track_.Running(); }

private:
  Test_Track_Source track_{delivery_};
  bool selected_ = false;
  std::int64_t cap_interval_ns_ = 0;
};
