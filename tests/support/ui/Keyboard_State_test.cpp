#include "support/ui/Keyboard_State.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>
#include <ostream>

namespace {
struct Key_Case {
  int qt_key;
  bool keypad;
  std::int32_t vk;
};
void PrintTo(const Key_Case &c, std::ostream *out) {
  *out << "0x" << std::hex << c.qt_key << (c.keypad ? " keypad" : "");
}

class Virtual_Key_Test : public testing::TestWithParam<Key_Case> {};

TEST_P(Virtual_Key_Test, ClassicCode) {
  const Key_Case c = GetParam();
  EXPECT_EQ(Keyboard_State::Virtual_Key(c.qt_key, c.keypad), c.vk);
}

INSTANTIATE_TEST_SUITE_P(Keys, Virtual_Key_Test,
                         testing::Values(Key_Case{Qt::Key_A, false, 65}, Key_Case{Qt::Key_Z, false, 90},
                                         Key_Case{Qt::Key_0, false, 48}, Key_Case{Qt::Key_9, false, 57},
                                         Key_Case{Qt::Key_0, true, 96}, Key_Case{Qt::Key_9, true, 105},
                                         Key_Case{Qt::Key_F1, false, 112}, Key_Case{Qt::Key_F12, false, 123},
                                         Key_Case{Qt::Key_Escape, false, 27}, Key_Case{Qt::Key_Return, false, 13},
                                         Key_Case{Qt::Key_Enter, true, 13}, Key_Case{Qt::Key_Space, false, 32},
                                         Key_Case{Qt::Key_Left, false, 37}, Key_Case{Qt::Key_Up, false, 38},
                                         Key_Case{Qt::Key_Right, false, 39}, Key_Case{Qt::Key_Down, false, 40},
                                         Key_Case{Qt::Key_Shift, false, 16}, Key_Case{Qt::Key_Control, false, 17},
                                         Key_Case{Qt::Key_Alt, false, 18}, Key_Case{Qt::Key_Exclam, false, 49},
                                         Key_Case{Qt::Key_Asterisk, true, 106}, Key_Case{Qt::Key_Minus, false, 189},
                                         Key_Case{Qt::Key_NumLock, false, 144}, Key_Case{Qt::Key_unknown, false, 0}));

class Keyboard_State_Test : public testing::Test {
protected:
  static void SetUpTestSuite() { Keyboard_State::Install(); }
  void SetUp() override { Keyboard_State::Forget_Keys(); }
  void TearDown() override { Keyboard_State::Forget_Keys(); }

  void Send(QEvent::Type type, int key, quint32 scan_code = 0, bool repeat = false,
            Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(type, key, modifiers, scan_code, 0, 0, QString(), repeat);
    QApplication::sendEvent(&target, &event);
  }
  // As the window system sends them: a modifier key's own event carries the state before it.
  void Press(int key, quint32 scan_code = 0) {
    Send(QEvent::KeyPress, key, scan_code, false, held_modifiers_);
    held_modifiers_ |= Modifier_Of(key);
  }
  void Release(int key, quint32 scan_code = 0) {
    Send(QEvent::KeyRelease, key, scan_code, false, held_modifiers_);
    held_modifiers_ &= ~Modifier_Of(key);
    // A sent event updates the application's modifier state on presses only, where the
    // window system does it on releases too: a press of no key brings it up to date.
    Send(QEvent::KeyPress, Qt::Key_unknown, 0, false, held_modifiers_);
  }
  static Qt::KeyboardModifiers Modifier_Of(int key) {
    switch (key) {
    case Qt::Key_Shift:
      return Qt::ShiftModifier;
    case Qt::Key_Control:
      return Qt::ControlModifier;
    case Qt::Key_Alt:
      return Qt::AltModifier;
    default:
      return Qt::NoModifier;
    }
  }

  Qt::KeyboardModifiers held_modifiers_;
  QWidget target;
};

TEST_F(Keyboard_State_Test, FirstKeyDownIsTheLowestHeld) {
  EXPECT_EQ(First_Key_Down(), 0);
  Press(Qt::Key_A);
  EXPECT_EQ(First_Key_Down(), 65);
  Press(Qt::Key_Escape);
  EXPECT_TRUE(Escape_Down());
  EXPECT_EQ(First_Key_Down(), 27);
  Press(Qt::Key_F20); // beyond 128: never the answer
  Release(Qt::Key_Escape);
  EXPECT_FALSE(Escape_Down());
  EXPECT_EQ(First_Key_Down(), 65);
  Release(Qt::Key_A);
  EXPECT_EQ(First_Key_Down(), 0);
}

struct Modifier_Case {
  int qt_key;
  bool (*down)();
};
void PrintTo(const Modifier_Case &c, std::ostream *out) { *out << "0x" << std::hex << c.qt_key; }

class Modifier_Test : public Keyboard_State_Test, public testing::WithParamInterface<Modifier_Case> {};

TEST_P(Modifier_Test, HeldWhilePressed) {
  const Modifier_Case c = GetParam();
  EXPECT_FALSE(c.down());
  Press(c.qt_key);
  EXPECT_TRUE(c.down());
  Release(c.qt_key);
  EXPECT_FALSE(c.down());
}

INSTANTIATE_TEST_SUITE_P(Modifiers, Modifier_Test,
                         testing::Values(Modifier_Case{Qt::Key_Shift, &Shift_Down},
                                         Modifier_Case{Qt::Key_Control, &Ctrl_Down},
                                         Modifier_Case{Qt::Key_Alt, &Alt_Down},
                                         Modifier_Case{Qt::Key_Escape, &Escape_Down}));

TEST_F(Keyboard_State_Test, AnAutoRepeatedReleaseKeepsTheKeyHeld) {
  Press(Qt::Key_Space);
  Send(QEvent::KeyRelease, Qt::Key_Space, 0, true);
  Send(QEvent::KeyPress, Qt::Key_Space, 0, true);
  EXPECT_EQ(First_Key_Down(), 32);
  Release(Qt::Key_Space);
  EXPECT_EQ(First_Key_Down(), 0);
}

TEST_F(Keyboard_State_Test, AKeyIsReleasedByItsScanCodeWhateverItsSymbolBecame) {
  // "1" pressed, Shift pressed, then the same key released as "!".
  Press(Qt::Key_1, 10);
  Press(Qt::Key_Shift, 50);
  Release(Qt::Key_Exclam, 10);
  Release(Qt::Key_Shift, 50);
  EXPECT_EQ(First_Key_Down(), 0);
}

TEST_F(Keyboard_State_Test, LeavingTheApplicationForgetsHeldKeys) {
  Press(Qt::Key_Escape);
  QEvent deactivate(QEvent::ApplicationDeactivate);
  QApplication::sendEvent(QApplication::instance(), &deactivate);
  EXPECT_FALSE(Escape_Down());
}

TEST_F(Keyboard_State_Test, NumLockStateAnswersWithoutFailing) {
  const bool on = NumLock_State();
  EXPECT_TRUE(on || !on);
}
} // namespace
