#include "Qk3_Commands.h"

#include "imaging/Image_Routines.h"
#include "imaging/cDIBSection.h"
#include "recording/QK3_Verify.h"
#include "recording/cls_VideoFile_handler.h"
#include "support/Failure.h"

#include <QFileInfo>
#include <cstring>

namespace {
QString For_Terminal(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

bool Open(cls_VideoFile_handler &h, const QString &file, QTextStream &err) {
  if (!QFileInfo::exists(file)) {
    err << "lurcher-qk3: " << file << ": no such file\n";
    return false;
  }
  h.Set_Open_For_Reading_Only(true);
  if (!h.Open_File(file)) {
    err << "lurcher-qk3: " << file << ": not a heat file that can be read (see the message above)\n";
    return false;
  }
  return true;
}

// What the review shows for that frame or field: the field split and the quarter turn of
// the image routines, with the same field selectors.
bool Review_Picture(cDIBSection &frame, int field_in_frame, bool rotated, cDIBSection &out) {
  cDIBSection field;
  cDIBSection *shown = &frame;
  if (field_in_frame != 0) {
    if (!field.Create(frame.Width(), frame.Height()) ||
        !deinterlaceFrame2(frame.DIBSectionBitsPtr(), field.DIBSectionBitsPtr(), frame.Width(), frame.Height(),
                           field_in_frame == 1 ? 2 : 1))
      return false;
    shown = &field;
  }
  if (!rotated) {
    if (!out.Create(shown->Width(), shown->Height()))
      return false;
    std::memcpy(out.DIBSectionBitsPtr(), shown->DIBSectionBitsPtr(), static_cast<std::size_t>(shown->SizeImage()));
    return true;
  }
  return out.Create(shown->Height(), shown->Width()) &&
         Rotate90(shown->DIBSectionBitsPtr(), out.DIBSectionBitsPtr(), shown->Width(), shown->Height());
}
} // namespace

int Qk3_Info(const QString &file, QTextStream &out, QTextStream &err) {
  cls_VideoFile_handler h;
  if (!Open(h, file, err))
    return 1;
  const QString summary = h.File_Properties();
  const QString technical = h.QK3_Properties();
  if (summary.isEmpty() || technical.isEmpty())
    err << "lurcher-qk3: " << file << ": the heat header lacks elements a report needs\n";
  out << For_Terminal(summary) << "\n" << For_Terminal(technical) << "\n";
  return summary.isEmpty() || technical.isEmpty() ? 1 : 0;
}

int Qk3_Verify(const QString &file, QTextStream &out, QTextStream &err) {
  if (!QFileInfo::exists(file)) {
    err << "lurcher-qk3: " << file << ": no such file\n";
    return 1;
  }
  const QK3_Verify_Result r = Verify_Heat_File(file);
  for (const QString &problem : r.problems)
    out << file << ": " << problem << "\n";
  for (const QString &warning : r.warnings)
    out << file << ": warning: " << warning << "\n";
  for (const QString &note : r.notes)
    out << file << ": note: " << note << "\n";
  if (!r.Sound()) {
    out << file << ": NOT SOUND, " << r.problems.size() << " problem(s)\n";
    return 1;
  }
  out << file << ": sound, " << r.records_checked << " record(s)\n";
  return 0;
}

int Qk3_Frame(const QString &file, int number, bool field, const QString &png, QTextStream &out, QTextStream &err) {
  cls_VideoFile_handler h;
  if (!Open(h, file, err))
    return 1;
  const int count = field ? h.Num_fields() : h.Num_Frames();
  if (number < 1 || number > count) {
    err << "lurcher-qk3: " << file << ": " << (field ? "field " : "frame ") << number << " is not in 1.." << count
        << "\n";
    return 1;
  }
  const int frame = field ? (number + 1) / 2 : number;
  if (!h.Read_RGB_sample(static_cast<std::int16_t>(frame), true)) {
    err << "lurcher-qk3: " << file << ": frame " << frame << " cannot be read (a damaged record)\n";
    return 1;
  }
  cDIBSection shown;
  if (!Review_Picture(h.Source_Bitmap(), field ? (number % 2 == 1 ? 1 : 2) : 0, h.Rotated(), shown)) {
    err << "lurcher-qk3: " << file << ": frame " << frame << " cannot be drawn\n";
    return 1;
  }
  if (!shown.Image().save(png, "PNG")) {
    err << "lurcher-qk3: " << png << ": cannot be written\n";
    return 1;
  }
  out << png << ": " << (field ? "field " : "frame ") << number << ", capture tick " << h.Timestamp_long() << ", local "
      << h.QK3_Capture_local() << " ms, JPEG " << h.QK3_JPEG_Size() << " bytes at quality "
      << h.QK3_Compression_Quality() << "\n";
  return 0;
}

int Qk3_Header(const QString &file, QTextStream &out, QTextStream &err) {
  try {
    out << QString::fromLatin1(Stored_Header_Text(file));
    return 0;
  } catch (const Lurcher_Failure &f) {
    err << "lurcher-qk3: " << file << ": " << f.Description() << "\n";
    return 1;
  }
}
