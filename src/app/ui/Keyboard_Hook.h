#pragma once
// The main window's keyboard hook: an application-wide event filter that sees every key
// press of the program, in every window, before the focused control does, and passes its
// classic virtual-key code on; key releases (not the keyboard's repeats) go to a second
// procedure. It never consumes a key.

#include <QObject>
#include <cstdint>
#include <functional>

class Keyboard_Hook final : public QObject {
  Q_OBJECT

public:
  using Hook_Proc = std::function<void(std::int32_t virtual_key)>;

  Keyboard_Hook(Hook_Proc proc, QObject *parent, Hook_Proc release = {});
  ~Keyboard_Hook() override;

  void Install();
  void Remove();
  bool Installed() const { return installed_; }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  Hook_Proc proc_;
  Hook_Proc release_;
  bool installed_ = false;
};
