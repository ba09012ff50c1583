#pragma once
// The commands of lurcher-qk3. Each prints to the given streams and returns the exit status:
// 0 done (for verify: the file is sound), 1 the file cannot be read or is not sound.

#include <QString>
#include <QTextStream>

int Qk3_Info(const QString &file, QTextStream &out, QTextStream &err);
int Qk3_Verify(const QString &file, QTextStream &out, QTextStream &err);
int Qk3_Frame(const QString &file, int number, bool field, const QString &png, QTextStream &out, QTextStream &err);
int Qk3_Header(const QString &file, QTextStream &out, QTextStream &err);
