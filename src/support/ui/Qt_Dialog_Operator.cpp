#include "support/ui/Qt_Dialog_Operator.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>

namespace {
QWidget *Dialog_Parent() { return QApplication::activeWindow(); }

std::optional<QString> First_Selected(QFileDialog &dialog) {
  if (dialog.exec() != QDialog::Accepted)
    return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.first().isEmpty())
    return std::nullopt;
  return chosen.first();
}
} // namespace

void Qt_Dialog_Operator::Install() {
  if (Unattended_Requested())
    Set_Operator(nullptr);
  else
    Set_Operator(std::make_unique<Qt_Dialog_Operator>());
}

QMessageBox::StandardButton Qt_Dialog_Operator::Standard_Button(Msg_Result button) {
  switch (button) {
  case Msg_Result::OK:
    return QMessageBox::Ok;
  case Msg_Result::Cancel:
    return QMessageBox::Cancel;
  case Msg_Result::Yes:
    return QMessageBox::Yes;
  case Msg_Result::No:
    return QMessageBox::No;
  case Msg_Result::Retry:
    return QMessageBox::Retry;
  case Msg_Result::Abort:
    return QMessageBox::Abort;
  case Msg_Result::Ignore:
    return QMessageBox::Ignore;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon Qt_Dialog_Operator::Icon_Of(Msg_Icon icon) {
  switch (icon) {
  case Msg_Icon::None:
    return QMessageBox::NoIcon;
  case Msg_Icon::Critical:
    return QMessageBox::Critical;
  case Msg_Icon::Question:
    return QMessageBox::Question;
  case Msg_Icon::Exclamation:
    return QMessageBox::Warning;
  case Msg_Icon::Information:
    return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

std::unique_ptr<QMessageBox> Qt_Dialog_Operator::Build_Message_Box(const Message_Prompt &prompt, QWidget *parent) {
  auto box =
      std::make_unique<QMessageBox>(Icon_Of(prompt.icon), prompt.title, prompt.text, QMessageBox::NoButton, parent);
  // Texts are shown as written: file names and messages may hold "<" or "&".
  box->setTextFormat(Qt::PlainText);
  const QList<Msg_Result> shown = Buttons_Of(prompt.buttons);
  for (Msg_Result b : shown)
    box->addButton(Standard_Button(b));
  box->setDefaultButton(Standard_Button(Default_Result(prompt)));
  // Escape answers Cancel, or OK when that is the only button.
  if (shown.contains(Msg_Result::Cancel))
    box->setEscapeButton(QMessageBox::Cancel);
  else if (shown == QList<Msg_Result>{Msg_Result::OK})
    box->setEscapeButton(QMessageBox::Ok);
  return box;
}

Msg_Result Qt_Dialog_Operator::Result_Of(const QMessageBox &box, const Message_Prompt &prompt) {
  const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
  const QList<Msg_Result> shown = Buttons_Of(prompt.buttons);
  for (Msg_Result b : shown)
    if (Standard_Button(b) == clicked)
      return b;
  return shown.contains(Msg_Result::Cancel) ? Msg_Result::Cancel : Default_Result(prompt);
}

Msg_Result Qt_Dialog_Operator::Message_Box(const Message_Prompt &prompt) {
  const std::unique_ptr<QMessageBox> box = Build_Message_Box(prompt, Dialog_Parent());
  box->exec();
  return Result_Of(*box, prompt);
}

std::optional<QString> Qt_Dialog_Operator::Input_Box(const QString &prompt, const QString &title,
                                                     const QString &initial) {
  QInputDialog dialog(Dialog_Parent());
  dialog.setWindowTitle(title);
  dialog.setLabelText(prompt);
  dialog.setTextValue(initial);
  if (dialog.exec() != QDialog::Accepted)
    return std::nullopt;
  return dialog.textValue();
}

void Qt_Dialog_Operator::Beep() { QApplication::beep(); }

std::optional<QString> Qt_Dialog_Operator::File_Dialog(const File_Prompt &prompt) {
  const QString start = prompt.file_name.isEmpty() ? prompt.folder : QDir(prompt.folder).filePath(prompt.file_name);
  QFileDialog dialog(Dialog_Parent(), prompt.title, start, prompt.filter);
  dialog.setAcceptMode(prompt.for_saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(prompt.for_saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  return First_Selected(dialog);
}

std::optional<QString> Qt_Dialog_Operator::Folder_Dialog(const QString &title, const QString &start_folder) {
  QFileDialog dialog(Dialog_Parent(), title, start_folder);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  return First_Selected(dialog);
}

bool Qt_Dialog_Operator::Printer_Dialog(Printer_Choice &choice) {
  QPrinter printer(QPrinter::HighResolution);
  if (!choice.printer_name.isEmpty())
    printer.setPrinterName(choice.printer_name);
  printer.setCopyCount(choice.copies < 1 ? 1 : choice.copies);
  printer.setPageOrientation(choice.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  QPrintDialog dialog(&printer, Dialog_Parent());
  if (dialog.exec() != QDialog::Accepted)
    return false;
  choice.printer_name = printer.printerName();
  choice.copies = printer.copyCount();
  choice.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
  return true;
}
