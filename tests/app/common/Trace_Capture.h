#pragma once
// Catches the program's trace lines: listens as the trace viewer in a temporary folder of
// its own (so tests running side by side do not meet) and gives back each line's text.

#include <QLocalServer>
#include <QLocalSocket>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class Trace_Capture {
public:
  Trace_Capture();
  ~Trace_Capture();
  Trace_Capture(const Trace_Capture &) = delete;
  Trace_Capture &operator=(const Trace_Capture &) = delete;

  // Every line traced so far, items only (the program, process and time frame removed).
  QStringList Lines();
  // Forgets the lines read so far.
  void Clear();

private:
  void Read_Available();

  QTemporaryDir dir_;
  QByteArray saved_tmpdir_;
  QLocalServer server_;
  QLocalSocket *socket_ = nullptr;
  QByteArray pending_;
  QStringList lines_;
};

// Whether expected appears in lines in this order (other lines may come between).
testing::AssertionResult In_Order(const QStringList &lines, const QStringList &expected);
