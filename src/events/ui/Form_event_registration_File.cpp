// The event registration window's file operations: opening at load, open, create, close,
// save, the dog-name import and printing the form.

#include "events/Dog_Import.h"
#include "events/Event_File_Name.h"
#include "events/Event_State.h"
#include "events/ui/Form_event_registration.h"
#include "ui_Form_event_registration.h"

#include "support/Clock.h"
#include "support/Failure.h"
#include "support/Globals.h"
#include "support/Non_dependant.h"
#include "support/Operator.h"
#include "support/Settings_Store.h"
#include "support/Trace.h"
#include "support/ui/Frm_progress.h"
#include "support/ui/Printer_Wrapper.h"

#include <QDir>
#include <QFileInfo>

namespace {
constexpr Location_Of Form_Location{"Form", "Form_event_registration"};

const QString Settings_Section = QStringLiteral("Settings");
const QString Current_Event_Key = QStringLiteral("current_event_file");

void Store_Current_Event_File(const QString &path) {
  Write_INI(Settings_Section, Current_Event_Key, path, Globals::Ini_File);
}

// The folder of new event files, with its trailing "/".
QString Event_Folder() {
  if (!Globals::Event_Folder.isEmpty())
    return Globals::Event_Folder;
  return Globals::AppData_Folder + QStringLiteral("/Lurcher Event Files/");
}

// Reads path into doc, leaving the open event alone. false, with the operator's message in
// problem, when the file holds no Lurcher event.
bool Read_Event_File(const QString &path, Event_Document &doc, QString &problem) {
  problem = QStringLiteral("Invalid Event File! ") + ParsePath(path, 0);
  // An empty file fails Validate_XML_file, which would also clear the flag of the open event.
  if (!FileExists(path) || QFileInfo(path).size() == 0)
    return false;
  QString why;
  if (!doc.Load(path, &why)) {
    problem += QStringLiteral("\r\n") + why;
    return false;
  }
  if (!doc.Exists(QStringLiteral("/Lurcher_event_file"))) {
    doc.Clear();
    problem += QStringLiteral("\r\nThe file holds no Lurcher event.");
    return false;
  }
  problem.clear();
  return true;
}

// Where the import dialog starts: the folder of the last import, or the event folder when
// there was none or it is gone ("c:" of an old settings file is no folder here).
QString Import_Folder() {
  const QString stored = Read_INI(Settings_Section, QStringLiteral("importdir"), Globals::Ini_File, QString());
  if (stored != QLatin1String("N/A") && Folder_Exists(stored))
    return stored;
  return Event_Folder();
}

// Picture position on the page, twips (as the speaker card prints).
constexpr double print_left_twips = 300;
constexpr double print_top_twips = 1200;
constexpr double screen_twips_per_pixel = 15; // 96 dots per inch

struct Flag_Up {
  bool &flag;
  explicit Flag_Up(bool &f) : flag(f) { flag = true; }
  ~Flag_Up() { flag = false; }
  Flag_Up(const Flag_Up &) = delete;
  Flag_Up &operator=(const Flag_Up &) = delete;
};
} // namespace

// ---------------------------------------------------------------- opening at load

void Form_event_registration::Form_Load() {
  Guarded(Form_Location("Form_Load"), [&] {
    Set_Event_Open(false);
    const QString stored = Read_INI(Settings_Section, Current_Event_Key, Globals::Ini_File, QString());
    if (stored == QLatin1String("N/A")) {
      Forget_Event();
    } else if (FileExists(stored)) {
      Show_Heat(1);
      if (Open_Event_File(stored))
        Load_Heat_Data();
      else
        Forget_Event(); // the file stays as it is on disk; the window goes on without an event
    } else {
      Msg_Box(QStringLiteral("Stored Event File name not found!\r\n") + stored);
      Forget_Event();
    }
    Refresh_Heat_Display();
  });
}

bool Form_event_registration::Open_Event_File(const QString &path) {
  return Guarded(Form_Location("Open_Event_File"), false, [&] {
    // Checked first and taken after: while the message about a wrong file is up, the window
    // loses activation and saves, and that save must still go to the open event's own file.
    Event_Document candidate;
    QString problem;
    if (!Read_Event_File(path, candidate, problem)) {
      Msg_Box(problem);
      return false;
    }
    if (m_Event_Open)
      XML_to_File(); // what was typed into the old event reaches its file first
    m_Event_DOM.Swap(candidate);
    Event_State::Event_File = path;
    Event_State::Event_Present = true;
    Set_Event_Open(true);
    Show_Event_Texts();
    return true;
  });
}

void Form_event_registration::Show_Event_Texts() {
  loading_ = true;
  ui_->Text_event_name->setText(m_Event_DOM.Event_name());
  ui_->Text_day->setText(Get_day());
  loading_ = false;
  const QString &file = Event_State::Event_File;
  ui_->Label_event_filename->setText(file);
  ui_->Label_event_filename->setToolTip(file);
}

void Form_event_registration::Forget_Event() {
  Set_Event_Open(false);
  Event_State::Event_Present = false;
  Event_State::Event_File.clear();
  Create_Lurcher_Race_File();
  Update_Event_file_name();
  Load_Heat_Data(); // without an event the heat boxes are empty
}

// ---------------------------------------------------------------- the document

void Form_event_registration::Create_Lurcher_Race_File() {
  Guarded(Form_Location("Create_Lurcher_Race_File"),
          [&] { m_Event_DOM.Create_Lurcher_Race_File(Current_Clock().Local_Now()); });
}

bool Form_event_registration::Create_Event_XML_File() {
  Trace_String(QStringLiteral("*Create_Event_XML_File"));
  m_Event_DOM.Clear();
  Create_Lurcher_Race_File();
  return XML_to_File();
}

bool Form_event_registration::XML_to_File() {
  return Guarded(Form_Location("XML_to_File"), false, [&] {
    const QString path = Event_State::Event_File;
    // Without an open event there is nothing of the operator's to keep, and nothing is
    // written over a file.
    if (saving_ || !m_Event_Open || path.isEmpty() || path == QLatin1String("N/A"))
      return true;
    const Flag_Up busy(saving_); // a message box below deactivates the window, which saves again
    if (Is_Read_Only(path)) {
      Msg_Box(QStringLiteral("Event file is Read-Only!\r\n") + path);
      return false;
    }
    Trace_String(QStringLiteral("*Form_event_registration XML_to_File"));
    if (m_Event_DOM.Is_Empty()) {
      Trace_String(QStringLiteral("*XML_to_File  no XML!"));
      return false;
    }
    Trace_String(QStringLiteral("*XML_to_File 1"));
    // Written beside the old file and renamed over it: a crash leaves one or the other whole.
    m_Event_DOM.Save(path);
    Trace_String(QStringLiteral("*XML_to_File 2"));
    Trace_String(QStringLiteral("*XML_to_File 3"));
    return true;
  });
}

// ---------------------------------------------------------------- menu "Form"

void Form_event_registration::item_open_event_file_Click() {
  Guarded(Form_Location("item_open_event_file_Click"), [&] {
    File_Prompt prompt;
    prompt.title = QStringLiteral("Chose event file");
    prompt.folder = Event_Folder();
    prompt.filter = QStringLiteral("xml Files (*.xml)");
    const std::optional<QString> chosen = Current_Operator().File_Dialog(prompt);
    if (!chosen || chosen->isEmpty())
      return;
    if (!Open_Event_File(*chosen))
      return; // a wrong choice changes nothing: the open event and its file stay as they were
    Store_Current_Event_File(*chosen);
    Load_Heat_Data();
    Refresh_Heat_Display();
  });
}

void Form_event_registration::item_create_event_file_Click() {
  Guarded(Form_Location("item_create_event_file_Click"), [&] { Create_New_Event_File(); });
}

bool Form_event_registration::Create_New_Event_File() {
  const QString name = ui_->Text_event_name->text();
  const QString day = ui_->Text_day->text();
  if (name.isEmpty()) {
    Msg_Box(QStringLiteral("Please enter Event Name before creating the event file!"));
    return false;
  }
  QString problem;
  const QString folder = Event_Folder();
  const QString path = New_Event_File_Path(folder, name, day, problem);
  if (!problem.isEmpty()) {
    Msg_Box(problem);
    return false;
  }
  if (!QDir().mkpath(folder))
    Raise(Err_Path_Not_Found, QStringLiteral("Cannot create the event folder ") + folder);
  if (FileExists(path) && Msg_Box(path + QStringLiteral("\r\nThis event file already exists. Overwrite?"),
                                  Msg_Buttons::Yes_No, Msg_Icon::Question) != Msg_Result::Yes)
    return false;

  Event_State::Event_File = path;
  Kill_File(path);
  Set_Event_Open(true);
  bool written = Create_Event_XML_File();
  m_Event_DOM.Set_Event_name(name);
  m_Event_DOM.Set_Event_day(day);
  written = written && XML_to_File();
  if (written)
    Store_Current_Event_File(path);
  // Reopens (and reads) the new file at heat 1, or the one stored before when the new one
  // could not be written.
  Form_Load();
  return written;
}

void Form_event_registration::item_close_event_file_Click() {
  Guarded(Form_Location("item_close_event_file_Click"), [&] {
    Close_Event_File();
    Refresh_Heat_Display();
  });
}

void Form_event_registration::No_Event_File() {
  Guarded(Form_Location("No_Event_File"), [&] { Close_Event_File(); });
}

void Form_event_registration::Close_Event_File() {
  if (m_Event_Open)
    XML_to_File(); // the edits since the last save occasion are kept
  Store_Current_Event_File(QString());
  Forget_Event();
  loading_ = true;
  ui_->Text_event_name->clear();
  ui_->Text_day->clear();
  loading_ = false;
  Load_Heat_Data();
}

void Form_event_registration::item_hide_Click() {
  Guarded(Form_Location("item_hide_Click"), [&] { hide(); });
}

// ---------------------------------------------------------------- import

void Form_event_registration::item_import_dog_names_Click() {
  Guarded(Form_Location("item_import_dog_names_Click"), [&] {
    Trace_String(QStringLiteral("item_import_dog_names_Click"));
    Import_Dogs();
  });
}

void Form_event_registration::Import_Dogs() {
  Guarded(Form_Location("Import_Dogs"), [&] {
    Trace_String(QStringLiteral("Import_Dogs start"));
    const QString &file = Event_State::Event_File;
    if (!m_Event_Open || !FileExists(file) || !Validate_XML_file(file)) {
      Msg_Box(QStringLiteral("No valid Event File open!\r\nImport not possible"));
      return;
    }
    File_Prompt prompt;
    prompt.title = QStringLiteral("Import dog names");
    prompt.folder = Import_Folder();
    prompt.filter = QStringLiteral("Text (*.txt)");
    const std::optional<QString> chosen = Current_Operator().File_Dialog(prompt);
    if (!chosen || chosen->isEmpty())
      return;
    Write_INI(Settings_Section, QStringLiteral("importdir"), ParsePath(*chosen, 16), Globals::Ini_File);
    Apply_Import(Read_Dog_Import(*chosen));
  });
}

void Form_event_registration::Apply_Import(const Dog_Import_Plan &plan) {
  int count = 0;
  for (const Dog_Import_Step &step : plan.steps) {
    if (step.kind == Dog_Import_Step::Kind::Start_Heat) {
      Show_Heat(step.heat);
      repaint();
      continue;
    }
    m_Event_DOM.Set_Dog_Name(step.heat, step.box, step.name);
    Load_Heat_Data();
    repaint();
    if (Import_Step_ms > 0)
      Do_Sleep(Import_Step_ms, false);
    ++count;
  }
  if (!plan.problem.isEmpty()) {
    Msg_Box(plan.problem);
    return;
  }
  Msg_Box(QString::number(count) + QStringLiteral(" Dogs imported!"));
}

// ---------------------------------------------------------------- printing

void Form_event_registration::item_print_form_Click() {
  Guarded(Form_Location("item_print_form_Click"), [&] {
    // The printer is the current one; choosing another comes with the printer selection.
    if (!Printer_Available()) {
      Msg_Box(QStringLiteral("No printer available!"));
      return;
    }
    Frm_progress progress;
    progress.Set_Caption(QStringLiteral("Printing form, on\r\n") + Current_Printer().DeviceName());
    progress.show();
    Do_Sleep(600, true);
    progress.Set_Percent(10);
    Print_Form();
    progress.Set_Percent(100);
    Do_Sleep(1000, true);
    progress.hide();
  });
}

void Form_event_registration::Print_Form() {
  const QImage image = grab().toImage();
  Printer_Wrapper &printer = Current_Printer();
  double width = image.width() * screen_twips_per_pixel;
  double height = image.height() * screen_twips_per_pixel;
  // A window wider than the page is made to fit between the margins.
  const double room = printer.ScaleWidth() - 2 * print_left_twips;
  if (width > room && room > 0) {
    height = height * room / width;
    width = room;
  }
  printer.Paint_Picture(image, print_left_twips, print_top_twips, width, height);
  printer.End_Doc();
}
