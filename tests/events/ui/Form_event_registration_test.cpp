#include "events/ui/Form_event_registration.h"

#include "common/Scripted_Operator.h"
#include "common/Temp_AppData.h"
#include "events/Event_File_Fixture.h"
#include "events/Event_State.h"
#include "support/Globals.h"
#include "support/Settings_Store.h"
#include "support/ui/Picture_Box.h"
#include "support/ui/Printer_Wrapper.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {
QString Fixture(const char *name) { return QStringLiteral(LURCHER_FIXTURES "/events/") + QString::fromLatin1(name); }

QByteArray Read_All(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The dog names as a reader other than the program's finds them: it decodes the bytes as the
// declaration says (UTF-8 without one).
QStringList Dog_Names_Read_With_Qt(const QByteArray &bytes) {
  QStringList names;
  QXmlStreamReader xml(bytes);
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == QLatin1String("dog_name"))
      names << xml.readElementText();
  }
  return xml.hasError() ? QStringList{xml.errorString()} : names;
}

QString Setting(const char *key) {
  return Read_INI(QStringLiteral("Settings"), QString::fromLatin1(key), Globals::Ini_File, QString());
}

class Registration : public testing::Test {
protected:
  void SetUp() override {
    Globals::Event_Folder = appdata.Path() + QStringLiteral("/Lurcher Event Files/");
    Event_State::Event_Present = false;
    Event_State::Event_File.clear();
    Form_event_registration::Import_Step_ms = 0;
    form = Make_Window();
  }
  void TearDown() override {
    form.reset();
    op.Expect_All_Answered();
    Globals::Event_Folder.clear();
    Event_State::Event_File.clear();
  }

  // The window as the program loads it: hidden, then opening the stored event file.
  std::unique_ptr<Form_event_registration> Make_Window() {
    auto window = std::make_unique<Form_event_registration>();
    window->Set_Heat_Display([this] { ++heat_display_refreshes; });
    window->Form_Load();
    return window;
  }

  QLineEdit &Edit(const char *name) const {
    auto *edit = form->findChild<QLineEdit *>(QString::fromLatin1(name));
    EXPECT_NE(edit, nullptr) << name;
    return *edit;
  }
  QSpinBox &Selector() const { return *form->findChild<QSpinBox *>(QStringLiteral("UpDown_heat")); }
  QString Caption() const { return form->findChild<QGroupBox *>(QStringLiteral("Frame_boxes"))->title(); }
  QLabel &File_Label() const { return *form->findChild<QLabel *>(QStringLiteral("Label_event_filename")); }

  static void Type(QWidget &widget, const QString &text) {
    for (const QChar c : text) {
      QKeyEvent press(QEvent::KeyPress, c.toUpper().unicode(), Qt::NoModifier, QString(c));
      QApplication::sendEvent(&widget, &press);
      QKeyEvent release(QEvent::KeyRelease, c.toUpper().unicode(), Qt::NoModifier, QString(c));
      QApplication::sendEvent(&widget, &release);
    }
  }
  static void Leave(QWidget &widget) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&widget, &out);
  }
  void Deactivate() {
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(form.get(), &deactivate);
  }

  void Create_Event(const QString &name, const QString &day) {
    Edit("Text_event_name").setText(name);
    Edit("Text_day").setText(day);
    form->item_create_event_file_Click();
  }
  QString Summer_Cup_Path() const { return Globals::Event_Folder + QStringLiteral("Summer Cup2018_05_26.xml"); }
  void Create_Summer_Cup() { Create_Event(QStringLiteral("Summer Cup"), QStringLiteral("2018-05-26")); }

  Temp_AppData appdata;
  Scripted_Operator &op = Scripted_Operator::Install();
  std::unique_ptr<Form_event_registration> form;
  int heat_display_refreshes = 0;
};
} // namespace

TEST_F(Registration, WithoutAnEventHeatAndDogBoxesRefuseKeysButTheEventNameIsTyped) {
  EXPECT_FALSE(form->Event_Open());
  EXPECT_EQ(File_Label().text(), QStringLiteral("No event file"));
  for (const char *name :
       {"Text_dog_name_1", "Text_dog_name_6", "Text_heatName", "Text_heat_start_time", "Text_heatLength"}) {
    op.Clear();
    Type(Edit(name), QStringLiteral("Rex"));
    EXPECT_TRUE(Edit(name).text().isEmpty()) << name;
    EXPECT_EQ(op.Beeps(), 3) << name;
  }
  Type(Edit("Text_event_name"), QStringLiteral("Summer Cup"));
  Type(Edit("Text_day"), QStringLiteral("2018-05-26"));
  EXPECT_EQ(form->Text_event_name(), QStringLiteral("Summer Cup"));
  EXPECT_EQ(form->Text_day(), QStringLiteral("2018-05-26"));
  EXPECT_TRUE(form->Event_name().isEmpty()) << "no event is open";
  EXPECT_TRUE(form->Heat_Name(7).isEmpty());
  EXPECT_EQ(heat_display_refreshes, 1) << "the main window's heat display follows the load";
}

TEST_F(Registration, TheSelectorWithoutAnEventBeepsAndStays) {
  Selector().setValue(5);
  EXPECT_EQ(op.Beeps(), 1);
  EXPECT_EQ(Selector().value(), 1);
  EXPECT_EQ(Caption(), QStringLiteral("Heat 1"));
}

TEST_F(Registration, ANewEventIsNamedFromItsNameAndDay) {
  Create_Summer_Cup();
  ASSERT_TRUE(QFile::exists(Summer_Cup_Path()));
  EXPECT_TRUE(form->Event_Open());
  EXPECT_TRUE(Event_State::Event_Present);
  EXPECT_EQ(Event_State::Event_File, Summer_Cup_Path());
  EXPECT_EQ(Setting("current_event_file"), Summer_Cup_Path());
  EXPECT_EQ(File_Label().toolTip(), Summer_Cup_Path());
  EXPECT_EQ(form->Event_name(), QStringLiteral("Summer Cup"));
  EXPECT_EQ(form->Get_day(), QStringLiteral("2018-05-26"));
  EXPECT_EQ(form->Current_Heat(), 1);
  const QByteArray bytes = Read_All(Summer_Cup_Path());
  EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n<Lurcher_event_file>"));
  EXPECT_TRUE(bytes.contains("<event_name>Summer Cup</event_name>\r\n"));
  EXPECT_TRUE(bytes.contains("<event_day>2018-05-26</event_day>\r\n"));
  EXPECT_TRUE(bytes.contains("<heat id=\"100\">"));

  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(form.get(), &activate);
  EXPECT_EQ(File_Label().text(), QStringLiteral("Summer Cup2018_05_26.xml"));
}

TEST_F(Registration, CreatingRefusesWhatCannotMakeAFileName) {
  for (int i = 0; i < 3; ++i)
    op.Answer(Msg_Result::OK);
  form->item_create_event_file_Click();
  Create_Event(QStringLiteral("Cup/../../escape"), QStringLiteral("2018"));
  Create_Event(QStringLiteral("Cup"), QStringLiteral("26/05/2018"));
  const QStringList texts = op.Message_Texts();
  ASSERT_EQ(texts.size(), 3);
  EXPECT_EQ(texts[0], QStringLiteral("Please enter Event Name before creating the event file!"));
  EXPECT_TRUE(texts[1].contains(QStringLiteral("\"/\"")));
  EXPECT_TRUE(texts[2].contains(QStringLiteral("\"/\"")));
  QDirIterator files(appdata.Path(), {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories);
  EXPECT_FALSE(files.hasNext()) << "nothing was written";
  EXPECT_FALSE(QFile::exists(appdata.Path() + QStringLiteral("/escape2018.xml")));
  EXPECT_FALSE(form->Event_Open());
}

TEST_F(Registration, DecliningToOverwriteKeepsTheOpenEvent) {
  Create_Summer_Cup();
  const QByteArray summer = Read_All(Summer_Cup_Path());
  Create_Event(QStringLiteral("Winter Cup"), QStringLiteral("2018-12-01"));
  const QString winter_path = Globals::Event_Folder + QStringLiteral("Winter Cup2018_12_01.xml");
  ASSERT_EQ(Event_State::Event_File, winter_path);

  op.Answer(Msg_Result::No);
  Create_Summer_Cup();
  ASSERT_EQ(op.Message_Texts().size(), 1);
  EXPECT_EQ(op.Message_Texts()[0],
            Summer_Cup_Path() + QStringLiteral("\r\nThis event file already exists. Overwrite?"));
  EXPECT_EQ(op.Prompts()[0].buttons, (QStringList{QStringLiteral("Yes"), QStringLiteral("No")}));
  EXPECT_EQ(Event_State::Event_File, winter_path);
  EXPECT_TRUE(form->Event_Open());

  Edit("Text_dog_name_2").setText(QStringLiteral("Blue Comet"));
  Leave(Edit("Text_dog_name_2"));
  EXPECT_TRUE(Read_All(winter_path).contains("<dog_name>Blue Comet</dog_name>"));
  EXPECT_EQ(Read_All(Summer_Cup_Path()), summer);
}

TEST_F(Registration, OverwritingStartsTheEventAfresh) {
  Create_Summer_Cup();
  Edit("Text_dog_name_1").setText(QStringLiteral("Rex"));
  Leave(Edit("Text_dog_name_1"));
  op.Answer(Msg_Result::Yes);
  Create_Summer_Cup();
  EXPECT_TRUE(form->Reg_Dog_Name(1, 1).isEmpty());
  EXPECT_FALSE(Read_All(Summer_Cup_Path()).contains("Rex"));
}

TEST_F(Registration, ALengthCarriesOverToTheNextHeats) {
  Create_Summer_Cup();
  Selector().setValue(2);
  Edit("Text_heatLength").setText(QStringLiteral("480"));
  Leave(Edit("Text_heatLength"));
  EXPECT_EQ(form->Heat_Length(2), QStringLiteral("480"));
  EXPECT_TRUE(Read_All(Summer_Cup_Path()).contains("<heat_length>480</heat_length>")) << "saved on leaving";

  Selector().setValue(3);
  EXPECT_EQ(Edit("Text_heatLength").text(), QStringLiteral("480"));
  EXPECT_TRUE(form->Heat_Length(3).isEmpty()) << "shown, not yet stored";
  Leave(Edit("Text_heatLength"));
  EXPECT_EQ(form->Heat_Length(3), QStringLiteral("480"));
}

TEST_F(Registration, TheCaptionFollowsTheSelector) {
  Create_Summer_Cup();
  Selector().setValue(17);
  EXPECT_EQ(Caption(), QStringLiteral("Heat 17"));
  EXPECT_EQ(form->Current_Heat(), 17);
}

TEST_F(Registration, EditsGoIntoTheDocumentAndReachTheFileAtTheSaveOccasions) {
  Create_Summer_Cup();
  Edit("Text_heatName").setText(QStringLiteral("Puppy final"));
  Leave(Edit("Text_heatName"));
  Edit("Text_heat_start_time").setText(QStringLiteral("14:30"));
  Leave(Edit("Text_heat_start_time"));
  Edit("Text_dog_name_1").setText(QStringLiteral("Lightning Lad"));
  EXPECT_EQ(form->Heat_Name(1), QStringLiteral("Puppy final"));
  EXPECT_EQ(form->Reg_Dog_Name(1, 1), QStringLiteral("Lightning Lad")) << "at once";

  Selector().setValue(2); // up: no save
  EXPECT_FALSE(Read_All(Summer_Cup_Path()).contains("Lightning Lad"));
  Deactivate();
  QByteArray bytes = Read_All(Summer_Cup_Path());
  EXPECT_TRUE(bytes.contains("<dog_name>Lightning Lad</dog_name>"));
  EXPECT_TRUE(bytes.contains("<heat_time>14:30</heat_time>"));

  Edit("Text_dog_name_3").setText(QStringLiteral("Blue Comet"));
  Selector().setValue(1); // down: saves first
  EXPECT_TRUE(Read_All(Summer_Cup_Path()).contains("<dog_name>Blue Comet</dog_name>"));
  EXPECT_EQ(Edit("Text_dog_name_1").text(), QStringLiteral("Lightning Lad"));
  EXPECT_TRUE(Edit("Text_dog_name_3").text().isEmpty());

  Type(Edit("Text_event_name"), QStringLiteral(" 2018"));
  EXPECT_EQ(form->Event_name(), QStringLiteral("Summer Cup 2018"));
}

TEST_F(Registration, AnEventMadeInTheWindowSurvivesARestart) {
  Create_Summer_Cup();
  Selector().setValue(4);
  Edit("Text_heatName").setText(QStringLiteral("Open 480"));
  Leave(Edit("Text_heatName"));
  Edit("Text_dog_name_6").setText(QStringLiteral("Blue Comet"));
  form->close();
  form.reset();
  Event_State::Event_File.clear();
  Event_State::Event_Present = false;

  form = Make_Window();
  EXPECT_TRUE(form->Event_Open());
  EXPECT_TRUE(Event_State::Event_Present);
  EXPECT_EQ(form->Event_name(), QStringLiteral("Summer Cup"));
  EXPECT_EQ(form->Text_event_name(), QStringLiteral("Summer Cup"));
  EXPECT_EQ(form->Text_day(), QStringLiteral("2018-05-26"));
  EXPECT_EQ(form->Heat_Name(4), QStringLiteral("Open 480"));
  EXPECT_EQ(form->Reg_Dog_Name(4, 6), QStringLiteral("Blue Comet"));
  EXPECT_EQ(form->Current_Heat(), 1);
}

TEST_F(Registration, AStoredFileThatIsGoneIsReported) {
  const QString gone = appdata.File(QStringLiteral("gone.xml"));
  Write_INI(QStringLiteral("Settings"), QStringLiteral("current_event_file"), gone, Globals::Ini_File);
  op.Answer(Msg_Result::OK);
  form = Make_Window();
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("Stored Event File name not found!\r\n") + gone});
  EXPECT_FALSE(form->Event_Open());
  EXPECT_FALSE(Event_State::Event_Present);
  EXPECT_TRUE(Event_State::Event_File.isEmpty());
}

TEST_F(Registration, ABrokenStoredFileIsReportedAndLeftAsItIs) {
  const QString path = appdata.Write(QStringLiteral("broken.xml"), Read_All(Fixture("truncated.xml")));
  Write_INI(QStringLiteral("Settings"), QStringLiteral("current_event_file"), path, Globals::Ini_File);
  op.Answer(Msg_Result::OK);
  form = Make_Window();
  ASSERT_EQ(op.Message_Texts().size(), 1);
  EXPECT_TRUE(op.Message_Texts()[0].startsWith(QStringLiteral("Invalid Event File! broken.xml\r\n")));
  EXPECT_FALSE(form->Event_Open());
  EXPECT_FALSE(Event_State::Event_Present);
  Deactivate();
  form->close();
  EXPECT_EQ(Read_All(path), Read_All(Fixture("truncated.xml")));
}

TEST_F(Registration, AnEmptyStoredFileOpensNoEvent) {
  const QString path = appdata.Write(QStringLiteral("empty.xml"), QByteArray());
  Write_INI(QStringLiteral("Settings"), QStringLiteral("current_event_file"), path, Globals::Ini_File);
  op.Answer(Msg_Result::OK);
  form = Make_Window();
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("Invalid Event File! empty.xml")});
  EXPECT_FALSE(form->Event_Open());
  EXPECT_FALSE(Event_State::Event_Present);
  Deactivate();
  EXPECT_TRUE(Read_All(path).isEmpty());
}

TEST_F(Registration, OpeningAFileAssembledFromTheLayout) {
  Event_File_Fixture fixture;
  fixture.event_name = QStringLiteral("Spring Meeting");
  fixture.event_day = QStringLiteral("6 April");
  fixture.heat_name[1] = QStringLiteral("Sprint");
  fixture.heat_length[1] = QStringLiteral("280");
  fixture.dog_name[{1, 2}] = QStringLiteral("Rex");
  fixture.heat_name[7] = QStringLiteral("Stayers");
  const QString path = appdata.Write(QStringLiteral("spring.xml"), fixture.Bytes());
  op.Answer_File(path);
  form->item_open_event_file_Click();
  ASSERT_EQ(op.Prompts().size(), 1u);
  EXPECT_EQ(op.Prompts()[0].title, QStringLiteral("Chose event file"));
  EXPECT_EQ(op.Prompts()[0].text, Globals::Event_Folder) << "the dialog starts in the event folder";
  EXPECT_TRUE(form->Event_Open());
  EXPECT_EQ(Setting("current_event_file"), path);
  EXPECT_EQ(form->Text_event_name(), QStringLiteral("Spring Meeting"));
  EXPECT_EQ(form->Text_day(), QStringLiteral("6 April"));
  EXPECT_EQ(Edit("Text_heatName").text(), QStringLiteral("Sprint"));
  EXPECT_EQ(Edit("Text_heatLength").text(), QStringLiteral("280"));
  EXPECT_EQ(Edit("Text_dog_name_2").text(), QStringLiteral("Rex"));
  EXPECT_EQ(form->Heat_Name(7), QStringLiteral("Stayers"));
}

TEST_F(Registration, OpeningAFileThatIsNoEventIsRefused) {
  const QString path = appdata.Write(QStringLiteral("header.xml"), Read_All(Fixture("not_an_event.xml")));
  op.Answer_File(path);
  op.Answer(Msg_Result::OK);
  form->item_open_event_file_Click();
  EXPECT_TRUE(op.Message_Texts()[0].startsWith(QStringLiteral("Invalid Event File! header.xml")));
  EXPECT_FALSE(form->Event_Open());
  EXPECT_TRUE(Event_State::Event_File.isEmpty());
  EXPECT_EQ(Setting("current_event_file"), QStringLiteral("N/A"));
}

TEST_F(Registration, AWrongChoiceInTheOpenDialogChangesNothing) {
  Create_Summer_Cup();
  Edit("Text_dog_name_1").setText(QStringLiteral("Rex")); // typed, not yet saved
  // While a message box is up the window loses activation, and deactivation saves.
  op.while_message = [this](const Recorded_Prompt &) { Deactivate(); };
  const struct {
    const char *name;
    QByteArray bytes;
    const char *message;
  } cases[] = {
      {"empty.xml", QByteArray(), "Invalid Event File! empty.xml"},
      {"header.xml", Read_All(Fixture("not_an_event.xml")), "Invalid Event File! header.xml\r\n"},
      {"cut.xml", Read_All(Fixture("truncated.xml")), "Invalid Event File! cut.xml\r\n"},
  };
  for (const auto &c : cases) {
    const QString path = appdata.Write(QString::fromLatin1(c.name), c.bytes);
    op.Clear();
    op.Answer_File(path);
    op.Answer(Msg_Result::OK);
    form->item_open_event_file_Click();
    ASSERT_EQ(op.Message_Texts().size(), 1) << c.name;
    EXPECT_TRUE(op.Message_Texts()[0].startsWith(QLatin1String(c.message))) << op.Message_Texts()[0].toStdString();
    Deactivate();
    EXPECT_EQ(Read_All(path), c.bytes) << c.name << ": the chosen file is left as it was";
    EXPECT_EQ(Event_State::Event_File, Summer_Cup_Path()) << c.name;
    EXPECT_TRUE(Event_State::Event_Present) << c.name;
    EXPECT_TRUE(form->Event_Open()) << c.name;
    EXPECT_EQ(Setting("current_event_file"), Summer_Cup_Path()) << c.name;
    EXPECT_EQ(form->Text_event_name(), QStringLiteral("Summer Cup")) << c.name;
    EXPECT_EQ(form->Reg_Dog_Name(1, 1), QStringLiteral("Rex")) << c.name;
    EXPECT_EQ(Edit("Text_dog_name_1").text(), QStringLiteral("Rex")) << c.name;
  }
  EXPECT_TRUE(Read_All(Summer_Cup_Path()).contains("<dog_name>Rex</dog_name>")) << "the open event's own file";
}

TEST_F(Registration, OpeningAnotherEventSavesTheOneOpenFirst) {
  Create_Summer_Cup();
  Edit("Text_dog_name_2").setText(QStringLiteral("Blue Comet"));
  Event_File_Fixture fixture;
  fixture.event_name = QStringLiteral("Spring Meeting");
  const QByteArray spring = fixture.Bytes();
  const QString path = appdata.Write(QStringLiteral("spring.xml"), spring);
  op.Answer_File(path);
  form->item_open_event_file_Click();
  EXPECT_EQ(Event_State::Event_File, path);
  EXPECT_EQ(form->Event_name(), QStringLiteral("Spring Meeting"));
  EXPECT_TRUE(Edit("Text_dog_name_2").text().isEmpty());
  EXPECT_TRUE(Read_All(Summer_Cup_Path()).contains("<dog_name>Blue Comet</dog_name>"));
  EXPECT_EQ(Read_All(path), spring) << "opening alone writes nothing";
}

TEST_F(Registration, AnEventFileOfAnotherToolKeepsItsNamesAtTheFirstSave) {
  for (const char *name : {"utf8_declared.xml", "utf8_undeclared.xml"}) {
    const QString path = appdata.File(QString::fromLatin1(name));
    ASSERT_TRUE(QFile::copy(Fixture(name), path));
    op.Answer_File(path);
    form->item_open_event_file_Click();
    ASSERT_TRUE(form->Event_Open()) << name;
    EXPECT_EQ(form->Text_event_name(), QStringLiteral("Puchar Łodzi")) << name;
    EXPECT_EQ(Edit("Text_dog_name_1").text(), QStringLiteral("Łucja")) << name;
    EXPECT_EQ(Edit("Text_heatName").text(), QStringLiteral("Finał")) << name;
    Edit("Text_dog_name_4").setText(QStringLiteral("Bolesław"));
    Leave(Edit("Text_dog_name_4"));
    EXPECT_EQ(Dog_Names_Read_With_Qt(Read_All(path)).mid(0, 4),
              (QStringList{QStringLiteral("Łucja"), QStringLiteral("Müller’s Pride"), QStringLiteral("Жучка"),
                           QStringLiteral("Bolesław")}))
        << name << ": another reader takes the declaration at its word";

    form = Make_Window(); // reopens the stored file: what the save wrote
    EXPECT_EQ(form->Text_event_name(), QStringLiteral("Puchar Łodzi")) << name;
    for (const auto &[box, dog] : {std::pair{1, "Łucja"}, {2, "Müller’s Pride"}, {3, "Жучка"}, {4, "Bolesław"}})
      EXPECT_EQ(form->Reg_Dog_Name(1, static_cast<std::int16_t>(box)), QString::fromUtf8(dog)) << name << box;
    EXPECT_EQ(form->Reg_Dog_Name(2, 1), QStringLiteral("Dvořák")) << name;
  }
}

TEST_F(Registration, ClosingLeavesNoEvent) {
  Create_Summer_Cup();
  Edit("Text_heatLength").setText(QStringLiteral("480"));
  Edit("Text_dog_name_1").setText(QStringLiteral("Rex"));
  form->item_close_event_file_Click();
  EXPECT_FALSE(form->Event_Open());
  EXPECT_FALSE(Event_State::Event_Present);
  EXPECT_TRUE(Event_State::Event_File.isEmpty());
  EXPECT_EQ(Setting("current_event_file"), QStringLiteral("N/A"));
  EXPECT_EQ(File_Label().text(), QStringLiteral("No event file"));
  for (const char *name : {"Text_event_name", "Text_day", "Text_heatLength", "Text_dog_name_1"})
    EXPECT_TRUE(Edit(name).text().isEmpty()) << name;
  EXPECT_TRUE(form->Heat_Name(7).isEmpty());
  EXPECT_TRUE(form->Reg_Dog_Name(1, 1).isEmpty());
  EXPECT_TRUE(Read_All(Summer_Cup_Path()).contains("<dog_name>Rex</dog_name>")) << "typed before closing";
}

TEST_F(Registration, TheMainWindowsNoEventFileClosesTheEvent) {
  Create_Summer_Cup();
  form->No_Event_File();
  EXPECT_FALSE(form->Event_Open());
  EXPECT_TRUE(Event_State::Event_File.isEmpty());
  EXPECT_EQ(File_Label().text(), QStringLiteral("No event file"));
}

TEST_F(Registration, FiveImportLinesSetThreeDogs) {
  Create_Summer_Cup();
  op.Answer_File(Fixture("import_five_lines.txt"));
  op.Answer(Msg_Result::OK);
  form->item_import_dog_names_Click();
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("3 Dogs imported!")});
  EXPECT_EQ(form->Reg_Dog_Name(5, 1), QStringLiteral("A"));
  EXPECT_EQ(form->Reg_Dog_Name(5, 2), QStringLiteral("B"));
  EXPECT_EQ(form->Reg_Dog_Name(6, 1), QStringLiteral("C"));
  EXPECT_EQ(form->Current_Heat(), 6);
  EXPECT_EQ(Caption(), QStringLiteral("Heat 6"));
  EXPECT_EQ(Edit("Text_dog_name_1").text(), QStringLiteral("C"));
  EXPECT_EQ(Setting("importdir"), QStringLiteral(LURCHER_FIXTURES "/events/"));
  EXPECT_FALSE(Read_All(Summer_Cup_Path()).contains("<dog_name>A</dog_name>")) << "the import does not save";
  Deactivate();
  EXPECT_TRUE(Read_All(Summer_Cup_Path()).contains("<dog_name>A</dog_name>"));
}

TEST_F(Registration, ImportFailuresKeepWhatWasImported) {
  Create_Summer_Cup();
  const QString bad = appdata.Write(QStringLiteral("bad.txt"), "Start 2\r\nRex\r\nStart two\r\nFido\r\n");
  op.Answer_File(Fixture("import_first_line_dog.txt"));
  op.Answer(Msg_Result::OK);
  op.Answer_File(bad);
  op.Answer(Msg_Result::OK);
  form->item_import_dog_names_Click();
  form->item_import_dog_names_Click();
  const QStringList texts = op.Message_Texts();
  ASSERT_EQ(texts.size(), 2);
  EXPECT_EQ(texts[0], QStringLiteral("Ivalid import file format!"));
  EXPECT_TRUE(texts[1].startsWith(QStringLiteral("Ivalid import file format!\r\nLine 3")));
  EXPECT_TRUE(form->Reg_Dog_Name(1, 1).isEmpty()) << "the first file imported nothing";
  EXPECT_EQ(form->Reg_Dog_Name(2, 1), QStringLiteral("Rex"));
}

TEST_F(Registration, TheImportDialogStartsInTheEventFolderUntilAFileWasImported) {
  Create_Summer_Cup();
  Write_INI(QStringLiteral("Settings"), QStringLiteral("importdir"), QStringLiteral("c:"), Globals::Ini_File);
  op.Answer_File(std::nullopt); // an old setting that names no folder here
  op.Answer_File(Fixture("import_five_lines.txt"));
  op.Answer(Msg_Result::OK);
  op.Answer_File(std::nullopt);
  form->item_import_dog_names_Click();
  form->item_import_dog_names_Click();
  form->item_import_dog_names_Click();
  QStringList folders;
  for (const Recorded_Prompt &p : op.Prompts())
    if (p.kind == QLatin1String("file"))
      folders << p.text;
  EXPECT_EQ(folders,
            (QStringList{Globals::Event_Folder, Globals::Event_Folder, QStringLiteral(LURCHER_FIXTURES "/events/")}));
}

TEST_F(Registration, TheExampleImportFileOfTheReadmeImports) {
  Create_Summer_Cup();
  op.Answer_File(QStringLiteral(LURCHER_FIXTURES "/events/import_example.txt"));
  op.Answer(Msg_Result::OK);
  form->item_import_dog_names_Click();
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("9 Dogs imported!")});
  EXPECT_EQ(form->Reg_Dog_Name(1, 1), QStringLiteral("Lightning Lad"));
  EXPECT_TRUE(form->Reg_Dog_Name(1, 3).isEmpty());
  EXPECT_EQ(form->Reg_Dog_Name(1, 6), QStringLiteral("Łucja"));
  EXPECT_EQ(form->Reg_Dog_Name(2, 1), QStringLiteral("Müller's Pride"));
  EXPECT_EQ(form->Reg_Dog_Name(12, 3), QStringLiteral("Rex"));
}

TEST_F(Registration, ImportNeedsAnOpenEvent) {
  op.Answer(Msg_Result::OK);
  form->item_import_dog_names_Click();
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("No valid Event File open!\r\nImport not possible")});
}

TEST_F(Registration, AReadOnlyFileIsNotReplaced) {
  Create_Summer_Cup();
  const QString path = Summer_Cup_Path();
  ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
  const QByteArray before = Read_All(path);
  Edit("Text_dog_name_1").setText(QStringLiteral("Rex"));
  op.Answer(Msg_Result::OK);
  Deactivate();
  EXPECT_EQ(op.Message_Texts(), QStringList{QStringLiteral("Event file is Read-Only!\r\n") + path});
  EXPECT_EQ(Read_All(path), before);
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(Registration, ActivationPaintsTheBadges) {
  QList<int> painted;
  form->Set_Badge_Painter([&](Picture_Box &picture, std::int16_t box) {
    EXPECT_EQ(&picture, &form->Picture_box(box));
    painted << box;
  });
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(form.get(), &activate);
  EXPECT_EQ(painted, (QList<int>{1, 2, 3, 4, 5, 6}));
}

TEST_F(Registration, PrintFormPrintsAnImageOfTheWindow) {
  Set_Current_Printer(Printer_Wrapper::To_Pdf(appdata.File(QStringLiteral("form.pdf"))));
  Create_Summer_Cup();
  form->item_print_form_Click();
  const Printer_Wrapper &printer = Current_Printer();
  EXPECT_EQ(printer.Documents_Ended(), 1);
  ASSERT_EQ(printer.Items().size(), 1);
  EXPECT_EQ(printer.Items()[0].kind, Printed_Item::Kind::Picture);
  EXPECT_EQ(printer.Items()[0].picture_size, form->size());
  EXPECT_GT(QFileInfo(appdata.File(QStringLiteral("form.pdf"))).size(), 0);
  Set_Current_Printer(nullptr);
}
