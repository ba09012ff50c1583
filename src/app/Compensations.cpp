#include "app/Compensations.h"

#include "app/Module_Lurcher.h"
#include "support/Checked.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"

#include <QRegularExpression>

namespace Compensations {
std::int32_t Compensation_Value(const QString &text) {
  const QString trimmed = text.trimmed();
  bool ok = false;
  const qlonglong value = trimmed.toLongLong(&ok);
  if (!ok) {
    // A long run of digits is still a number, only too large for 32 bits.
    static const QRegularExpression digits(QStringLiteral("^[+-]?[0-9]+$"));
    if (digits.match(trimmed).hasMatch())
      Raise(Err_Overflow, Failure_Description(Err_Overflow));
    Raise(Err_Type_Mismatch, Failure_Description(Err_Type_Mismatch));
  }
  return Checked_32(value);
}

bool Switch_On(const QString &key) {
  bool ok = false;
  const int value = Read_INI(Section, key, Globals::Ini_File, QStringLiteral("0")).trimmed().toInt(&ok);
  return ok && value != 0;
}

void Write_Switch(const QString &key, bool on) {
  Write_INI(Section, key, on ? QStringLiteral("1") : QStringLiteral("0"), Globals::Ini_File);
}
} // namespace Compensations

void Load_Compensations() {
  using namespace Compensations;
  Guarded(QStringLiteral("Load_Compensations of Form Form_Lurcher"), [] {
    Module_Lurcher::Split_Compensation =
        Compensation_Value(Read_INI(Section, Key_Split, Globals::Ini_File, Default_Split));
    Module_Lurcher::Goal_Compensation =
        Compensation_Value(Read_INI(Section, Key_Goal, Globals::Ini_File, Default_Goal));
    Module_Lurcher::Box_Delay =
        Compensation_Value(Read_INI(Section, Key_Box_Delay, Globals::Ini_File, Default_Box_Delay));
  });
}
