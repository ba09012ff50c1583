#include "app/Phidget_Verify.h"

#include "app/Module_Lurcher.h"
#include "app/Phidget_Kit.h"
#include "app/Phidget_Library.h"
#include "support/Failure.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Trace.h"

namespace {
const QString Required_Version = QStringLiteral("Phidget21 - Version 2.1.8");

void Trace_Phidget_Error() {
  const Failure_Info failure = Current_Failure();
  Write_Trace(QStringLiteral("Phidgets error at line ") + QString::number(failure.line) +
              QStringLiteral(" Error number = ") + QString::number(failure.number) + QStringLiteral(" ") +
              failure.description);
}
} // namespace

bool Version_Supported(const QString &version_text) { return version_text.contains(Required_Version); }

QString Wrong_Version_Message(const QString &version_text) {
  return QStringLiteral("Wrong Phidget versions found!\nThis Lurcher version needs version 2.1.8!\nFound version:\n") +
         version_text;
}

Phidget_Check Verify_Phidgets() {
  Trace_String(QStringLiteral("Verify_Phidgets, begin"));
  QString why;
  const Phidget_Library *library = Phidget_Library::Load(&why);
  if (!library) {
    Trace_String(QStringLiteral("Verify_Phidgets, no library: ") + why);
    return Phidget_Check::No_Library;
  }
  try {
    QString version;
    {
      Phidget_Kit probe(*library);
      version = probe.Library_Version();
    }
    if (Version_Supported(version)) {
      Trace_String(QStringLiteral("Verify_Phidgets, Verify_Phidgets = True"));
      return Phidget_Check::Verified;
    }
    Msg_Box(Wrong_Version_Message(version));
  } catch (...) {
    Trace_Phidget_Error();
  }
  Trace_String(QStringLiteral("Verify_Phidgets, Verify_Phidgets = False"));
  return Phidget_Check::Failed;
}

bool Check_For_Phidget() {
  Module_Lurcher::m_Phidget_Present = false;
  try {
    const Phidget_Library *library = Phidget_Library::Load();
    if (!library)
      Raise(Err_File_Not_Found, QStringLiteral("No interface-kit library"));
    Phidget_Kit probe(*library);
    const QString version = probe.Library_Version();
    Module_Lurcher::m_Phidget_Present = true;
    Trace_String(QStringLiteral("*Check_for_Phidget OK = True ,version = ") + version);
  } catch (...) {
    Trace_String(QStringLiteral("*Check_For_Phidget_Error"));
  }
  return Module_Lurcher::m_Phidget_Present;
}

std::unique_ptr<Interface_Kit> Create_Phidget_Kit() {
  return Guarded(QStringLiteral("Create_Phidget_Kit of Form Form_Lurcher"), std::unique_ptr<Interface_Kit>(), [] {
    const Phidget_Library *library = Phidget_Library::Load();
    if (!library)
      Raise(Err_File_Not_Found, QStringLiteral("No interface-kit library"));
    return std::unique_ptr<Interface_Kit>(std::make_unique<Phidget_Kit>(*library));
  });
}

bool Open_Kit(Interface_Kit &kit, std::int32_t wait_ms) {
  return Guarded(QStringLiteral("Open_Kit of Form Form_Lurcher"), false, [&] {
    kit.Open(0);
    Flush_DV_events();
    Do_Sleep(wait_ms, true);
    Trace_String(QStringLiteral("*Phidget present ") + kit.Device_Name() + QStringLiteral("/") + kit.Device_Type() +
                 QStringLiteral("/") + kit.Library_Version());
    return true;
  });
}
