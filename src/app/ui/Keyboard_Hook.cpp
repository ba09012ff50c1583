#include "app/ui/Keyboard_Hook.h"

#include "support/Failure.h"
#include "support/ui/Keyboard_State.h"

#include <QCoreApplication>
#include <QKeyEvent>

Keyboard_Hook::Keyboard_Hook(Hook_Proc proc, QObject *parent) : QObject(parent), proc_(std::move(proc)) {}

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
  if (event->type() != QEvent::KeyPress || !proc_)
    return false;
  try {
    const std::int32_t code = Keyboard_State::Virtual_Key(*static_cast<QKeyEvent *>(event));
    if (code != 0)
      proc_(code);
  } catch (...) {
    Report_Current_Failure(QStringLiteral("IWindowsHook_HookProc of Form Form_Lurcher"));
  }
  return false;
}
