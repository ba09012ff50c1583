#include "app/ui/Module_Lurcher_Windows.h"

#include "recording/CVideobuff_RGB.h"

#include "support/Failure.h"
#include "support/Trace.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

void Unload_All_Windows(QWidget *keep) {
  // Closing one window may close or create others: work on guarded pointers.
  QList<QPointer<QWidget>> windows;
  for (QWidget *w : QApplication::topLevelWidgets())
    if (w != keep)
      windows << w;
  for (const QPointer<QWidget> &w : windows)
    if (w)
      w->close();
}

void Stop_Lurcher(QWidget *keep) {
  Guarded(QStringLiteral("Stop_Lurcher of Module Module_Lurcher"), [&] {
    Trace_String(QStringLiteral("*Stop_Lurcher"));
    Unload_All_Windows(keep);
    // Swapped out rather than cleared, so the list's own storage goes too.
    Frame_Buffer_List().swap(Frame_Buffers());
    Trace_String(QStringLiteral("*Stop_Lurcher, end"));
  });
}
