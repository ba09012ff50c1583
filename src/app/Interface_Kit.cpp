#include "app/Interface_Kit.h"

#include <QMetaObject>

void Interface_Kit::Post_Attached(std::int32_t tick) {
  QMetaObject::invokeMethod(
      this, [this, tick] { emit Attached(tick); }, Qt::QueuedConnection);
}

void Interface_Kit::Post_Detached(std::int32_t tick) {
  QMetaObject::invokeMethod(
      this, [this, tick] { emit Detached(tick); }, Qt::QueuedConnection);
}

void Interface_Kit::Post_Input_Changed(std::int32_t tick, int index, bool state) {
  QMetaObject::invokeMethod(
      this, [this, tick, index, state] { emit Input_Changed(tick, index, state); }, Qt::QueuedConnection);
}
