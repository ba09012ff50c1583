#pragma once
// The built-in test track as a capture component of its own: one source, "video:1", that
// needs no hardware (Test_Track_Source renders it). Besides the common values it answers
// "TrackTruth" (the latest race, "box tick" per dog) and takes "TrackSeed".

#include "capture/Capture_Component.h"
#include "capture/Frame_Delivery.h"
#include "capture/Test_Track_Source.h"

class Test_Track_Component final : public Capture_Component {
public:
  Test_Track_Component() = default;
  ~Test_Track_Component() override;

  static QString Friendly_Name() { return Test_Track_Source::Friendly_Name(); }

  std::int32_t AdviseSink(IVideoCapEvent *sink) override;
  void UnadviseSink(std::int32_t cookie) override;
  bool SelectSource(const QString &name) override;
  int Source_Count() override { return 1; }
  QString GetValue(const QString &name) override;
  bool SetValue(const QString &name, const QString &value) override;
  std::optional<Capture_Format> Format_Record(int format_number) const override;
  std::optional<Capture_Format> Current_Format() const override { return Format_Record(format_); }
  bool Run() override;
  void Stop() override;
  bool Is_Running() const override { return track_.Running(); }
  void Set_Keep_Every_Frame(bool keep) override { delivery_.Set_Keep_Every_Frame(keep); }
  QString LastError() const override { return last_error_; }

private:
  bool Refuse(const QString &text);
  bool Set_Format(const QString &value);

  Frame_Delivery delivery_;
  Test_Track_Source track_{delivery_};
  bool selected_ = false;
  int format_ = 0;
  std::int64_t cap_interval_ns_ = 0;
  std::int32_t cookie_ = 0;
  std::int32_t next_cookie_ = 1;
  QString last_error_;
};
