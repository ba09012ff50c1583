#pragma once
// A full check of a heat file for support: the header block, the header document and every
// record (marks, sizes, array descriptor, the JPEG picture, capture ticks never going back),
// found as the reader finds them; capture-tick gaps longer than 1.5 frame periods are frames
// the capture lost.
// Nothing is shown to the operator; each problem is one line of text.

#include <QString>
#include <QStringList>

struct QK3_Verify_Result {
  QStringList problems; // the file is not sound
  QStringList warnings; // the file is sound, the recording was not whole (lost frames)
  QStringList notes;    // worth knowing, not a fault
  std::int32_t records_checked = 0;
  bool Sound() const { return problems.isEmpty(); }
};

QK3_Verify_Result Verify_Heat_File(const QString &path);

// The XML text of the header block as stored (ISO-8859-1), or a failure raised when the block
// cannot be read.
QByteArray Stored_Header_Text(const QString &path);
