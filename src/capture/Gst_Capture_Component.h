#pragma once
// The capture component over GStreamer: the devices and the live test pattern of
// Gst_Source_List.

#include "capture/Delivering_Capture_Component.h"
#include "capture/Gst_Pipeline.h"
#include "capture/Gst_Source_List.h"

#include <vector>

class Gst_Capture_Component final : public Delivering_Capture_Component {
public:
  Gst_Capture_Component();
  ~Gst_Capture_Component() override;

  bool SelectSource(const QString &name) override;
  int Source_Count() override;
  QString GetValue(const QString &name) override;
  bool SetValue(const QString &name, const QString &value) override;
  std::optional<Capture_Format> Format_Record(int format_number) const override;
  std::optional<Capture_Format> Current_Format() const override;
  bool Run() override;
  void Stop() override;
  bool Is_Running() const override;

private:
  void Ensure_Sources();
  const Gst_Source *Selected() const;
  std::vector<Capture_Format> Formats() const;
  bool Set_Rate_Cap(const QString &value);
  bool Start_Selected();
  void On_Source_Error(const QString &text);

  Gst_Pipeline pipeline_{delivery_};
  std::vector<Gst_Source> gst_sources_;
  bool enumerated_ = false;
  int selected_ = -1; // index into gst_sources_
  std::int64_t cap_interval_ns_ = 0;
};
