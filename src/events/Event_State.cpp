#include "events/Event_State.h"

#include "support/Failure.h"

#include <QFileInfo>

bool Validate_XML_file(const QString &path) {
  return Guarded(QStringLiteral("Validate_XML_file of Module Module_dependant"), false, [&] {
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
      Raise(Err_File_Not_Found, QStringLiteral("File not found: ") + path);
    if (info.size() == 0) {
      Event_State::Event_Present = false;
      return false;
    }
    return true;
  });
}
