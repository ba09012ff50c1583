#pragma once
// Trace lines narrate what the program does. They go to the trace viewer (tools/lurcher-trace)
// over the local socket "LurcherTrace" when one was listening at the first trace call;
// otherwise a trace call costs one flag test.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <atomic>

namespace trace_detail {
// 0: not looked up yet, 1: no viewer, 2: viewer connected.
extern std::atomic<int> viewer_state;
bool Look_Up_Viewer();

inline QVariant To_Item(const char *text) { return QString::fromUtf8(text); }
template <class T> inline QVariant To_Item(const T &value) { return QVariant::fromValue(value); }
} // namespace trace_detail

// Performs the lookup on its first call; whether a viewer is known.
bool Trace_Window_Present();

// Builds the line from the items and sends it; only called when a viewer is known.
void Send_Trace_Line(const QVariantList &items);

// The line frame: program name & mode mark & ": " & pid & ": " & thread id & ": "
// & "yyyymmdd hhnnss" & ": " & each item followed by a TAB (lists contribute each element).
QByteArray Build_Trace_Line(const QVariantList &items);

template <class... Items> inline void Write_Trace(const Items &...items) {
  const int state = trace_detail::viewer_state.load(std::memory_order_relaxed);
  if (state == 1)
    return;
  if (state == 0 && !trace_detail::Look_Up_Viewer())
    return;
  Send_Trace_Line(QVariantList{trace_detail::To_Item(items)...});
}

inline void Trace_String(const QString &text) { Write_Trace(text); }

// Appends "date-time text" to Lurcher_eventlog.txt in the application-data folder.
void Log_Event(const QString &text);

// Tests only: forget the lookup so the next trace looks again.
void Reset_Trace_Lookup();
