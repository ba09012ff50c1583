#pragma once
// The program's capture component: the sources of several backends numbered one after
// another ("video:1" ... the first backend's, then the next one's), each call handed to the
// backend the selected source belongs to. The sink is registered with every backend; only
// the one running delivers.

#include "capture/Capture_Component.h"

#include <memory>
#include <vector>

class Combined_Capture_Component final : public Capture_Component {
public:
  explicit Combined_Capture_Component(std::vector<std::unique_ptr<Capture_Component>> backends);
  ~Combined_Capture_Component() override;

  std::int32_t AdviseSink(IVideoCapEvent *sink) override;
  void UnadviseSink(std::int32_t cookie) override;
  bool SelectSource(const QString &name) override;
  int Source_Count() override;
  // "BuildNumber" is the first backend's; "CaptureFps" goes to every backend, so the cap
  // holds whichever source runs; the rest goes to the selected source's backend.
  QString GetValue(const QString &name) override;
  bool SetValue(const QString &name, const QString &value) override;
  std::optional<Capture_Format> Format_Record(int format_number) const override;
  std::optional<Capture_Format> Current_Format() const override;
  bool Run() override;
  void Stop() override;
  bool Is_Running() const override;
  void Set_Keep_Every_Frame(bool keep) override;
  QString LastError() const override;

private:
  bool Refuse(const QString &text);
  // The selected source's backend; before any selection the first one.
  Capture_Component *Addressed() const;

  std::vector<std::unique_ptr<Capture_Component>> backends_;
  std::vector<std::int32_t> backend_cookies_;
  Capture_Component *selected_ = nullptr;
  std::int32_t cookie_ = 0;
  std::int32_t next_cookie_ = 1;
  // A refusal of this component's own; otherwise the addressed backend's error stands.
  QString own_error_;
};
