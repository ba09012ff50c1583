#include "app/ui/Keyboard_Hook.h"

#include "support/Failure.h"
#include "support/ui/Keyboard_State.h"

#include <QCoreApplication>
#include <QKeyEvent>

Keyboard_Hook::Keyboard_Hook(Hook_Proc proc, QObject *parent, Hook_Proc release)
    : QObject(parent), proc_(std::move(proc)), release_(std::move(release)) {}

Keyboard_Hook::~Keyboard_Hook() { Remove(); }

void Keyboard_Hook::Install() {
  if (installed_ || !QCoreApplication::instance())
    return;
  QCoreApplication::instance()->installEventFilter(this);
  installed_ = true;
}

void Keyboard_Hook::Remove() {
  if (!installed_)
    return;
  if (QCoreApplication::instance())
    QCoreApplication::instance()->removeEventFilter(this);
  installed_ = false;
}

bool Keyboard_Hook::eventFilter(QObject * /*watched*/, QEvent *event) {
  const bool press = event->type() == QEvent::KeyPress;
  if (!press && event->type() != QEvent::KeyRelease)
    return false;
  const auto &key = *static_cast<QKeyEvent *>(event);
  const Hook_Proc &proc = press ? proc_ : release_;
  if (!proc || (!press && key.isAutoRepeat()))
    return false;
  try {
    const std::int32_t code = Keyboard_State::Virtual_Key(key);
    if (code != 0)
      proc(code);
  } catch (...) {
    Report_Current_Failure(QStringLiteral("IWindowsHook_HookProc of Form Form_Lurcher"));
  }
  return false;
}
