#pragma once
// The dog-name import file: plain text, one line each. A line holding "Start" opens a heat
// whose number is the digits after "Start" and any blanks, up to the first other character
// ("Start 12", "Start12", "Start   5", "Start 12-480m" is heat 12); each following line is
// the next box of that heat, from box 1. An empty line skips its box.
//
// The file is read whole before anything is imported, and turned into steps. A line the
// import cannot take ends the steps with a message; the steps before it are still carried
// out, so the names imported before the bad line stay.

#include <QString>
#include <cstdint>
#include <vector>

struct Dog_Import_Step {
  enum class Kind { Start_Heat, Dog_Name };
  Kind kind = Kind::Start_Heat;
  std::int16_t heat = 0;
  std::int16_t box = 0; // Dog_Name: 1 to 8
  QString name;         // Dog_Name: trimmed, never empty
};

struct Dog_Import_Plan {
  std::vector<Dog_Import_Step> steps;
  QString problem; // empty when every line was understood; otherwise shown after the steps
};

// The message of a line the import cannot take.
inline const QString Invalid_Import_Text = QStringLiteral("Ivalid import file format!");

Dog_Import_Plan Read_Dog_Import(const QString &path);
// The same for the file's bytes: UTF-8 text, or Latin-1 when the bytes are no UTF-8; lines
// end in CR LF or LF.
Dog_Import_Plan Plan_Dog_Import(const QByteArray &bytes);
