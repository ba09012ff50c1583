#pragma once
// What every backend of the capture component shares: the one sink, reached through a frame
// delivery to the user-interface thread, and the text of the last failure.

#include "capture/Capture_Component.h"
#include "capture/Frame_Delivery.h"

class Delivering_Capture_Component : public Capture_Component {
public:
  std::int32_t AdviseSink(IVideoCapEvent *sink) override;
  void UnadviseSink(std::int32_t cookie) override;
  void Set_Keep_Every_Frame(bool keep) override { delivery_.Set_Keep_Every_Frame(keep); }
  QString LastError() const override { return last_error_; }

protected:
  // Sets the last failure's text; false, for the caller to return.
  bool Refuse(const QString &text);
  // "SetFormat": the format of that number from now on; a running source starts again in it.
  bool Set_Format(const QString &value);

  Frame_Delivery delivery_;
  QString last_error_;
  int format_ = 0; // the format in use

private:
  std::int32_t cookie_ = 0;
  std::int32_t next_cookie_ = 1;
};
