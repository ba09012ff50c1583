#include "support/ui/Keyboard_State.h"

#include "support/Failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>
#include <optional>

namespace {
constexpr std::int32_t vk_shift = 16;
constexpr std::int32_t vk_control = 17;
constexpr std::int32_t vk_menu = 18; // Alt
constexpr std::int32_t vk_escape = 27;
constexpr std::int32_t vk_lowest = 1;
constexpr std::int32_t vk_highest_first = 128;

Keyboard_State *installed_filter = nullptr;

struct Key_Code {
  int qt_key;
  std::int32_t vk;
};

// Keys whose code does not follow from a range.
constexpr Key_Code named_keys[] = {
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_AltGr, 18},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Select, 41},
    {Qt::Key_Printer, 42},
    {Qt::Key_Execute, 43},
    {Qt::Key_Print, 44},
    {Qt::Key_SysReq, 44},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Help, 47},
    {Qt::Key_Meta, 91},
    {Qt::Key_Super_L, 91},
    {Qt::Key_Super_R, 92},
    {Qt::Key_Menu, 93},
    {Qt::Key_Sleep, 95},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},
    {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},
    {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221},
    {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},
    // The digit row with Shift held (US layout) still is the digit key.
    {Qt::Key_ParenRight, 48},
    {Qt::Key_Exclam, 49},
    {Qt::Key_At, 50},
    {Qt::Key_NumberSign, 51},
    {Qt::Key_Dollar, 52},
    {Qt::Key_Percent, 53},
    {Qt::Key_AsciiCircum, 54},
    {Qt::Key_Ampersand, 55},
    {Qt::Key_Asterisk, 56},
    {Qt::Key_ParenLeft, 57},
};

// The numeric keypad's own codes.
constexpr Key_Code keypad_keys[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109}, {Qt::Key_Period, 110},
    {Qt::Key_Comma, 110},    {Qt::Key_Slash, 111}, {Qt::Key_Enter, 13},
};

std::optional<bool> Read_NumLock_Led() {
  // The keyboard LEDs are readable by everyone on Linux.
  const QDir leds(QStringLiteral("/sys/class/leds"));
  const QStringList names = leds.entryList({QStringLiteral("*numlock*")}, QDir::Dirs | QDir::NoDotAndDotDot);
  std::optional<bool> on;
  for (const QString &name : names) {
    QFile brightness(leds.filePath(name + QStringLiteral("/brightness")));
    if (!brightness.open(QIODevice::ReadOnly))
      continue;
    const bool lit = brightness.readAll().trimmed().toInt() > 0;
    on = on.value_or(false) || lit;
  }
  return on;
}

bool Modifier_Held(Qt::KeyboardModifier modifier) {
  return (QGuiApplication::queryKeyboardModifiers() & modifier) != 0;
}
} // namespace

void Keyboard_State::Install() {
  if (installed_filter || !QCoreApplication::instance())
    return;
  installed_filter = new Keyboard_State(QCoreApplication::instance());
  QCoreApplication::instance()->installEventFilter(installed_filter);
}

QHash<quint64, std::int32_t> &Keyboard_State::Held() {
  static QHash<quint64, std::int32_t> held;
  return held;
}

void Keyboard_State::Forget_Keys() { Held().clear(); }

std::int32_t Keyboard_State::Virtual_Key(int qt_key, bool keypad) {
  if (keypad) {
    if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9)
      return 96 + (qt_key - Qt::Key_0);
    for (const Key_Code &k : keypad_keys)
      if (k.qt_key == qt_key)
        return k.vk;
  }
  if ((qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) || (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z))
    return qt_key; // the virtual-key codes of digits and letters are their upper-case characters
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24)
    return 112 + (qt_key - Qt::Key_F1);
  for (const Key_Code &k : named_keys)
    if (k.qt_key == qt_key)
      return k.vk;
  return 0;
}

std::int32_t Keyboard_State::Virtual_Key(const QKeyEvent &event) {
  return Virtual_Key(event.key(), (event.modifiers() & Qt::KeypadModifier) != 0);
}

bool Keyboard_State::Key_Held(std::int32_t virtual_key) { return Held_Keys().contains(virtual_key); }

QList<std::int32_t> Keyboard_State::Held_Keys() { return Held().values(); }

bool Keyboard_State::eventFilter(QObject * /*watched*/, QEvent *event) {
  try {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const auto *key = static_cast<QKeyEvent *>(event);
      if (key->isAutoRepeat())
        break;
      const std::int32_t vk = Virtual_Key(*key);
      const quint64 id = key->nativeScanCode() != 0 ? key->nativeScanCode() : (quint64{1} << 32) | quint64(vk);
      if (event->type() == QEvent::KeyPress && vk != 0)
        Held().insert(id, vk);
      else if (event->type() == QEvent::KeyRelease)
        Held().remove(id);
      break;
    }
    case QEvent::ApplicationDeactivate:
      // Releases made elsewhere are never reported to us.
      Forget_Keys();
      break;
    default:
      break;
    }
  } catch (...) {
    Report_Current_Failure(QStringLiteral("eventFilter of Class Keyboard_State"));
  }
  return false;
}

bool Escape_Down() { return Keyboard_State::Key_Held(vk_escape); }

bool Shift_Down() { return Keyboard_State::Key_Held(vk_shift) || Modifier_Held(Qt::ShiftModifier); }

bool Ctrl_Down() { return Keyboard_State::Key_Held(vk_control) || Modifier_Held(Qt::ControlModifier); }

bool Alt_Down() { return Keyboard_State::Key_Held(vk_menu) || Modifier_Held(Qt::AltModifier); }

std::int32_t First_Key_Down() {
  std::int32_t lowest = 0;
  auto take = [&](std::int32_t vk) {
    if (vk >= vk_lowest && vk <= vk_highest_first && (lowest == 0 || vk < lowest))
      lowest = vk;
  };
  for (std::int32_t vk : Keyboard_State::Held_Keys())
    take(vk);
  const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
  if (modifiers & Qt::ShiftModifier)
    take(vk_shift);
  if (modifiers & Qt::ControlModifier)
    take(vk_control);
  if (modifiers & Qt::AltModifier)
    take(vk_menu);
  return lowest;
}

bool NumLock_State() { return Read_NumLock_Led().value_or(false); }

void NumLock_on() {
  try {
    const std::optional<bool> on = Read_NumLock_Led();
    if (on.value_or(false))
      return;
    const QString numlockx = QStandardPaths::findExecutable(QStringLiteral("numlockx"));
    if (!numlockx.isEmpty()) {
      QProcess::startDetached(numlockx, {QStringLiteral("on")});
      return;
    }
    // A key press toggles: only when NumLock is known to be off.
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (on.has_value() && !xdotool.isEmpty())
      QProcess::startDetached(xdotool, {QStringLiteral("key"), QStringLiteral("Num_Lock")});
  } catch (...) {
    // Turning NumLock on is a convenience; nothing to report.
  }
}
