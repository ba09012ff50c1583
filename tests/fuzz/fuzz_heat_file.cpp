// Feeds arbitrary bytes to the heat file reader as a heat file (header block, header document,
// every record with its picture), to the support check, and to the header parser as text.
// Whatever the bytes, nothing may read out of bounds, allocate beyond what the file
// justifies, or crash.

#include "recording/Cls_XML_header.h"
#include "recording/QK3_Verify.h"
#include "recording/cls_VideoFile_handler.h"
#include "support/Error_Handler.h"
#include "support/Operator.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {
// Takes the default answer of every prompt, silently.
class Silent_Operator final : public Operator {
public:
  Msg_Result Message_Box(const Message_Prompt &prompt) override { return Default_Result(prompt); }
  std::optional<QString> Input_Box(const QString &, const QString &, const QString &) override { return {}; }
  void Beep() override {}
  std::optional<QString> File_Dialog(const File_Prompt &) override { return {}; }
  std::optional<QString> Folder_Dialog(const QString &, const QString &) override { return {}; }
  bool Printer_Dialog(Printer_Choice &) override { return false; }
};

// Failure reports are expected for broken input; writing each to standard error would bury
// the fuzzer's own output and slow it down.
class Silent_Errors final : public Error_Presenter {
public:
  void Present_Error(const QStringList &) override {}
};

QTemporaryDir *work = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  static QCoreApplication app(*argc, *argv);
  Set_Operator(std::make_unique<Silent_Operator>());
  static Silent_Errors errors;
  Set_Error_Presenter(&errors);
  work = new QTemporaryDir(QStringLiteral("/dev/shm/lurcher-fuzz-XXXXXX"));
  if (!work->isValid()) {
    delete work;
    work = new QTemporaryDir();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const QString path = work->filePath(QStringLiteral("input.qk3"));
  {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
      return 0;
    f.write(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  }
  QFile::remove(path + QStringLiteral(".hdr"));
  {
    cls_VideoFile_handler h;
    if (h.Open_File(path)) {
      const std::int32_t frames = std::min(h.Num_Frames(), 64);
      for (std::int32_t n = 1; n <= frames; ++n)
        h.Read_RGB_sample(static_cast<std::int16_t>(n), true);
      h.QK3_Properties();
      h.File_Properties();
      h.Close_File();
    }
  }
  Verify_Heat_File(path);
  Cls_XML_header header;
  header.Set_XML_string(QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
  if (header.Valid())
    header.XML_string();
  return 0;
}
