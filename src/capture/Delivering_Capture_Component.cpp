#include "capture/Delivering_Capture_Component.h"

std::int32_t Delivering_Capture_Component::AdviseSink(IVideoCapEvent *sink) {
  if (!sink)
    return 0;
  cookie_ = next_cookie_++;
  delivery_.Set_Sink(sink);
  return cookie_;
}

void Delivering_Capture_Component::UnadviseSink(std::int32_t cookie) {
  if (cookie != 0 && cookie == cookie_) {
    delivery_.Set_Sink(nullptr);
    cookie_ = 0;
  }
}

bool Delivering_Capture_Component::Refuse(const QString &text) {
  last_error_ = text;
  return false;
}

bool Delivering_Capture_Component::Set_Format(const QString &value) {
  bool ok = false;
  const int n = value.trimmed().toInt(&ok);
  if (!ok || !Format_Record(n))
    return Refuse(QStringLiteral("Format %1 does not exist").arg(value));
  format_ = n;
  return Is_Running() ? Run() : true;
}
