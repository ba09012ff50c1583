#include "capture/Combined_Capture_Component.h"

Combined_Capture_Component::Combined_Capture_Component(std::vector<std::unique_ptr<Capture_Component>> backends)
    : backends_(std::move(backends)), backend_cookies_(backends_.size(), 0) {}

Combined_Capture_Component::~Combined_Capture_Component() {
  Stop();
  UnadviseSink(cookie_);
}

bool Combined_Capture_Component::Refuse(const QString &text) {
  own_error_ = text;
  return false;
}

Capture_Component *Combined_Capture_Component::Addressed() const {
  if (selected_)
    return selected_;
  return backends_.empty() ? nullptr : backends_.front().get();
}

std::int32_t Combined_Capture_Component::AdviseSink(IVideoCapEvent *sink) {
  if (!sink)
    return 0;
  for (std::size_t i = 0; i < backends_.size(); ++i)
    backend_cookies_[i] = backends_[i]->AdviseSink(sink);
  cookie_ = next_cookie_++;
  return cookie_;
}

void Combined_Capture_Component::UnadviseSink(std::int32_t cookie) {
  if (cookie == 0 || cookie != cookie_)
    return;
  for (std::size_t i = 0; i < backends_.size(); ++i) {
    backends_[i]->UnadviseSink(backend_cookies_[i]);
    backend_cookies_[i] = 0;
  }
  cookie_ = 0;
}

int Combined_Capture_Component::Source_Count() {
  int count = 0;
  for (const auto &backend : backends_)
    count += backend->Source_Count();
  return count;
}

bool Combined_Capture_Component::SelectSource(const QString &name) {
  own_error_.clear();
  const QString prefix = QStringLiteral("video:");
  bool ok = false;
  int n = name.startsWith(prefix, Qt::CaseInsensitive) ? name.mid(prefix.size()).toInt(&ok) : 0;
  if (ok && n >= 1) {
    for (const auto &backend : backends_) {
      const int count = backend->Source_Count();
      if (n <= count) {
        Stop();
        selected_ = backend.get();
        return selected_->SelectSource(QStringLiteral("video:%1").arg(n));
      }
      n -= count;
    }
  }
  return Refuse(QStringLiteral("Video source %1 not found").arg(name));
}

QString Combined_Capture_Component::GetValue(const QString &name) {
  own_error_.clear();
  if (name.compare(QLatin1String("BuildNumber"), Qt::CaseInsensitive) == 0 && !backends_.empty())
    return backends_.front()->GetValue(name);
  Capture_Component *backend = Addressed();
  if (!backend) {
    Refuse(QStringLiteral("No video source"));
    return {};
  }
  return backend->GetValue(name);
}

bool Combined_Capture_Component::SetValue(const QString &name, const QString &value) {
  own_error_.clear();
  if (name.compare(QLatin1String("CaptureFps"), Qt::CaseInsensitive) == 0) {
    bool all = !backends_.empty();
    for (const auto &backend : backends_)
      all = backend->SetValue(name, value) && all;
    return all;
  }
  Capture_Component *backend = Addressed();
  return backend ? backend->SetValue(name, value) : Refuse(QStringLiteral("No video source"));
}

std::optional<Capture_Format> Combined_Capture_Component::Format_Record(int format_number) const {
  return selected_ ? selected_->Format_Record(format_number) : std::nullopt;
}

std::optional<Capture_Format> Combined_Capture_Component::Current_Format() const {
  return selected_ ? selected_->Current_Format() : std::nullopt;
}

bool Combined_Capture_Component::Run() {
  own_error_.clear();
  // The first source, as a fresh component would have it.
  if (!selected_ && !SelectSource(QStringLiteral("video:1")))
    return Refuse(QStringLiteral("The video source has no format to capture"));
  for (const auto &backend : backends_)
    if (backend.get() != selected_)
      backend->Stop();
  return selected_->Run();
}

void Combined_Capture_Component::Stop() {
  for (const auto &backend : backends_)
    backend->Stop();
}

bool Combined_Capture_Component::Is_Running() const {
  for (const auto &backend : backends_)
    if (backend->Is_Running())
      return true;
  return false;
}

void Combined_Capture_Component::Set_Keep_Every_Frame(bool keep) {
  for (const auto &backend : backends_)
    backend->Set_Keep_Every_Frame(keep);
}

QString Combined_Capture_Component::LastError() const {
  if (!own_error_.isEmpty())
    return own_error_;
  const Capture_Component *backend = Addressed();
  return backend ? backend->LastError() : QString();
}
