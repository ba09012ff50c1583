#pragma once
// Which keys are held. An application-wide event filter follows every key press and release
// the program receives; the answers use the classic virtual-key codes (Escape 27, Enter 13,
// Space 32, arrows 37-40, digits 48-57, letters 65-90, F1 112 ...). Keys pressed while
// the program is not the active application are not seen; the modifiers are also asked of
// the window system.

#include <QHash>
#include <QObject>
#include <cstdint>

class QKeyEvent;

class Keyboard_State final : public QObject {
  Q_OBJECT

public:
  // Installs the one filter on the application (once; later calls do nothing).
  static void Install();
  // Forgets every held key (also done when the application loses the keyboard).
  static void Forget_Keys();

  // The classic virtual-key code of a key event; 0 when the key has none.
  static std::int32_t Virtual_Key(const QKeyEvent &event);
  static std::int32_t Virtual_Key(int qt_key, bool keypad);

  static bool Key_Held(std::int32_t virtual_key);
  static QList<std::int32_t> Held_Keys();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  using QObject::QObject;
  // Held keys by their scan code (by their code when synthetic), so that a key released
  // after the modifiers changed its symbol is still let go.
  static QHash<quint64, std::int32_t> &Held();
};

bool Escape_Down();
bool Shift_Down();
bool Ctrl_Down();
bool Alt_Down();
// The lowest virtual-key code from 1 to 128 of a held key, or 0.
std::int32_t First_Key_Down();
// Whether NumLock is on, as far as the system lets us see; false when it cannot tell.
bool NumLock_State();
// Turns NumLock on when it is off, by the desktop's own tools when installed; failures are ignored.
void NumLock_on();
