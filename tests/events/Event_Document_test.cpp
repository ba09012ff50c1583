#include "events/Event_Document.h"

#include "common/Temp_AppData.h"
#include "events/Event_File_Fixture.h"
#include "support/Failure.h"

#include <QDir>
#include <QFile>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {
const QDateTime Created(QDate(2018, 5, 26), QTime(9, 15, 0));

QByteArray Read_All(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Fixture(const char *name) { return QStringLiteral(LURCHER_FIXTURES "/events/") + QString::fromLatin1(name); }

// What any XML reader makes of a file: it takes the encoding from the declaration (UTF-8 when
// there is none), so names come out right only when the declaration and the bytes agree.
struct Read_Elsewhere {
  QString encoding; // as declared; empty when there is no declaration
  QString event_name;
  QStringList dog_names; // every dog_name in document order
  QString error;
};

Read_Elsewhere Read_With_Qt(const QByteArray &bytes) {
  Read_Elsewhere out;
  QXmlStreamReader xml(bytes);
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartDocument())
      out.encoding = xml.documentEncoding().toString();
    if (xml.isStartElement() && xml.name() == QLatin1String("event_name"))
      out.event_name = xml.readElementText();
    if (xml.isStartElement() && xml.name() == QLatin1String("dog_name"))
      out.dog_names << xml.readElementText();
  }
  if (xml.hasError())
    out.error = xml.errorString();
  return out;
}

const QStringList Other_Tool_Dogs{QStringLiteral("Łucja"), QStringLiteral("Müller’s Pride"), QStringLiteral("Жучка")};

bool Write_All(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
} // namespace

TEST(Event_Document, NewDocumentIsTheLayoutByteForByte) {
  Event_Document doc;
  doc.Create_Lurcher_Race_File(Created);
  Event_File_Fixture layout;
  layout.comment = Event_Document::Comment_Text(Created);
  EXPECT_EQ(doc.Serialize(), layout.Bytes());
  EXPECT_TRUE(
      layout.comment.startsWith(QStringLiteral("XML file containing Lurcher event definition file, created at: ")));
}

TEST(Event_Document, NewDocumentHas100HeatsOf8EmptyBoxes) {
  Event_Document doc;
  doc.Create_Lurcher_Race_File(Created);
  for (std::int16_t heat = 1; heat <= 100; ++heat) {
    ASSERT_TRUE(doc.Has_Heat(heat)) << heat;
    EXPECT_TRUE(doc.Heat_Name(heat).isEmpty());
    for (std::int16_t box = 1; box <= 8; ++box)
      ASSERT_TRUE(doc.Exists(Event_Document::Dog_Path(heat, box))) << heat << "/" << box;
  }
  EXPECT_FALSE(doc.Has_Heat(101));
  EXPECT_FALSE(doc.Exists(Event_Document::Dog_Path(1, 9)));
  EXPECT_TRUE(doc.Event_name().isEmpty());
  EXPECT_TRUE(doc.Event_day().isEmpty());
}

TEST(Event_Document, ValuesWrittenAreReadBackFromTheFile) {
  Temp_AppData appdata;
  const QString path = appdata.File(QStringLiteral("round.xml"));
  Event_Document doc;
  doc.Create_Lurcher_Race_File(Created);
  doc.Set_Event_name(QStringLiteral("Frühjahrsrennen <A&B>"));
  doc.Set_Event_day(QStringLiteral("2018-05-26"));
  doc.Set_Heat_Time(100, QStringLiteral("14:30"));
  doc.Set_Heat_Length(2, QStringLiteral("480"));
  doc.Set_Heat_Name(2, QStringLiteral("Puppy final"));
  doc.Set_Dog_Name(2, 8, QStringLiteral("Blue Comet"));
  doc.Save(path);

  const QByteArray bytes = Read_All(path);
  EXPECT_TRUE(bytes.contains("Fr\xFChjahrsrennen &lt;A&amp;B&gt;")) << "ISO-8859-1 text, escaped";
  EXPECT_TRUE(bytes.contains("<heat_length>480</heat_length>\r\n"));

  Event_Document back;
  ASSERT_TRUE(back.Load(path));
  EXPECT_EQ(back.Event_name(), QStringLiteral("Frühjahrsrennen <A&B>"));
  EXPECT_EQ(back.Event_day(), QStringLiteral("2018-05-26"));
  EXPECT_EQ(back.Heat_Time(100), QStringLiteral("14:30"));
  EXPECT_EQ(back.Heat_Length(2), QStringLiteral("480"));
  EXPECT_EQ(back.Heat_Name(2), QStringLiteral("Puppy final"));
  EXPECT_EQ(back.Dog_Name(2, 8), QStringLiteral("Blue Comet"));
  EXPECT_EQ(back.Serialize(), bytes) << "a file read and written again stays the same";
}

TEST(Event_Document, NamesBeyondLatin1SurviveTheFile) {
  Temp_AppData appdata;
  const QString path = appdata.File(QStringLiteral("wide.xml"));
  const QString name = QStringLiteral("Łódź Cup € &#8364;");
  Event_Document doc;
  doc.Create_Lurcher_Race_File(Created);
  doc.Set_Event_name(name);
  doc.Set_Dog_Name(1, 1, QStringLiteral("Dvořák"));
  doc.Save(path);
  const QByteArray bytes = Read_All(path);
  EXPECT_TRUE(bytes.contains("<event_name>&#321;\xF3"
                             "d&#378; Cup &#8364; &amp;#8364;</event_name>"))
      << bytes.left(400).toStdString();
  Event_Document back;
  ASSERT_TRUE(back.Load(path));
  EXPECT_EQ(back.Event_name(), name);
  EXPECT_EQ(back.Dog_Name(1, 1), QStringLiteral("Dvořák"));
}

TEST(Event_Document, FileAssembledFromTheLayoutOpens) {
  Temp_AppData appdata;
  Event_File_Fixture fixture;
  fixture.event_name = QStringLiteral("Summer Cup");
  fixture.event_day = QStringLiteral("2018-05-26");
  fixture.heat_name[7] = QStringLiteral("Open 480");
  fixture.heat_length[7] = QStringLiteral("480");
  fixture.heat_time[7] = QStringLiteral("15:05");
  fixture.dog_name[{7, 6}] = QStringLiteral("Lightning Lad");
  fixture.empty_tags_short = false; // written with start and end tags
  const QString path = appdata.Write(QStringLiteral("assembled.xml"), fixture.Bytes());

  Event_Document doc;
  ASSERT_TRUE(doc.Load(path));
  EXPECT_EQ(doc.Event_name(), QStringLiteral("Summer Cup"));
  EXPECT_EQ(doc.Heat_Name(7), QStringLiteral("Open 480"));
  EXPECT_EQ(doc.Heat_Length(7), QStringLiteral("480"));
  EXPECT_EQ(doc.Heat_Time(7), QStringLiteral("15:05"));
  EXPECT_EQ(doc.Dog_Name(7, 6), QStringLiteral("Lightning Lad"));
  EXPECT_TRUE(doc.Dog_Name(7, 5).isEmpty());
}

TEST(Event_Document, ReadersNeverRaise) {
  Event_Document empty;
  EXPECT_TRUE(empty.Is_Empty());
  EXPECT_TRUE(empty.Event_name().isEmpty());
  EXPECT_TRUE(empty.Dog_Name(1, 1).isEmpty());
  EXPECT_TRUE(empty.Serialize().isEmpty());

  Event_Document doc;
  doc.Create_Lurcher_Race_File(Created);
  EXPECT_TRUE(doc.Heat_Name(0).isEmpty());
  EXPECT_TRUE(doc.Heat_Length(-3).isEmpty());
  EXPECT_TRUE(doc.Dog_Name(1, 9).isEmpty());
  EXPECT_TRUE(doc.Text(QStringLiteral("//heat[")).isEmpty()) << "a broken path";
}

TEST(Event_Document, WritingAMissingElementRaises) {
  Event_Document doc;
  EXPECT_THROW(doc.Set_Event_name(QStringLiteral("x")), Lurcher_Failure);
  doc.Create_Lurcher_Race_File(Created);
  EXPECT_THROW(doc.Set_Dog_Name(1, 9, QStringLiteral("x")), Lurcher_Failure);
  EXPECT_THROW(doc.Set_Heat_Name(101, QStringLiteral("x")), Lurcher_Failure);
}

TEST(Event_Document, BrokenFilesDoNotLoad) {
  Temp_AppData appdata;
  const QByteArray good = [] {
    Event_File_Fixture f;
    f.event_name = QStringLiteral("Cut");
    return f.Bytes();
  }();
  const struct {
    const char *name;
    QByteArray bytes;
  } cases[] = {
      {"truncated", good.left(good.size() / 2)},
      {"binary", QByteArray("\x00\x01\x02\xFF\xFE<", 6)},
      {"empty", QByteArray()},
  };
  for (const auto &c : cases) {
    const QString path = appdata.Write(QString::fromLatin1(c.name), c.bytes);
    Event_Document doc;
    doc.Create_Lurcher_Race_File(Created);
    QString why;
    EXPECT_FALSE(doc.Load(path, &why)) << c.name;
    EXPECT_FALSE(why.isEmpty()) << c.name;
    EXPECT_TRUE(doc.Is_Empty()) << c.name;
  }
  Event_Document doc;
  QString why;
  EXPECT_FALSE(doc.Load(appdata.File(QStringLiteral("missing.xml")), &why));
}

TEST(Event_Document, SavingReplacesTheFileWhole) {
  Temp_AppData appdata;
  const QString path = appdata.File(QStringLiteral("event.xml"));
  ASSERT_TRUE(Write_All(path, "old content"));
  Event_Document doc;
  doc.Create_Lurcher_Race_File(Created);
  doc.Save(path);
  EXPECT_EQ(Read_All(path), doc.Serialize());
  EXPECT_EQ(QDir(appdata.Path()).entryList(QDir::Files), QStringList{QStringLiteral("event.xml")})
      << "no temporary file is left behind";
}

TEST(Event_Document, SavingIntoAMissingFolderRaisesAndWritesNothing) {
  Temp_AppData appdata;
  Event_Document doc;
  doc.Create_Lurcher_Race_File(Created);
  try {
    doc.Save(appdata.File(QStringLiteral("no folder/event.xml")));
    FAIL() << "no failure raised";
  } catch (const Lurcher_Failure &f) {
    EXPECT_EQ(f.Number(), Err_Path_Not_Found);
  }
  EXPECT_TRUE(QDir(appdata.Path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

// ---- Encodings -------------------------------------------------------------------------------

struct Other_Tool_Case {
  const char *fixture;
  const char *saved_encoding;
  QByteArray saved_first_dog; // the bytes of box 1's dog_name in the saved file
};

TEST(Event_Document_Encoding, AFileOfAnotherToolKeepsItsNamesWhenSaved) {
  const Other_Tool_Case cases[] = {
      // Names beyond Latin-1 become references; the declaration says ISO-8859-1.
      {"utf8_declared.xml", "iso-8859-1", "<dog_name>&#321;ucja</dog_name>"},
      // A comment cannot hold a reference, so "Łódź" in it keeps the file in UTF-8.
      {"utf8_undeclared.xml", "UTF-8", "<dog_name>\xC5\x81ucja</dog_name>"},
  };
  for (const auto &c : cases) {
    Temp_AppData appdata;
    const QString path = appdata.File(QStringLiteral("event.xml"));
    ASSERT_TRUE(QFile::copy(Fixture(c.fixture), path));
    Event_Document doc;
    QString why;
    ASSERT_TRUE(doc.Load(path, &why)) << c.fixture << ": " << why.toStdString();
    EXPECT_EQ(doc.Event_name(), QStringLiteral("Puchar Łodzi")) << c.fixture;
    EXPECT_EQ(doc.Dog_Name(1, 1), Other_Tool_Dogs[0]) << c.fixture;
    EXPECT_EQ(doc.Dog_Name(1, 2), Other_Tool_Dogs[1]) << c.fixture;
    EXPECT_EQ(doc.Dog_Name(1, 3), Other_Tool_Dogs[2]) << c.fixture;
    EXPECT_EQ(doc.Heat_Name(2), QStringLiteral("Półfinał")) << c.fixture;

    doc.Set_Dog_Name(1, 4, QStringLiteral("Bolesław"));
    doc.Save(path);
    const QByteArray bytes = Read_All(path);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"" + QByteArray(c.saved_encoding) + "\"?>"))
        << c.fixture << ": " << bytes.left(60).toStdString();
    EXPECT_TRUE(bytes.contains(c.saved_first_dog)) << c.fixture;
    const Read_Elsewhere other = Read_With_Qt(bytes);
    EXPECT_TRUE(other.error.isEmpty()) << c.fixture << ": " << other.error.toStdString();
    EXPECT_EQ(other.encoding, QLatin1String(c.saved_encoding)) << c.fixture;
    EXPECT_EQ(other.event_name, QStringLiteral("Puchar Łodzi")) << c.fixture;
    ASSERT_GE(other.dog_names.size(), 9) << c.fixture;
    EXPECT_EQ(other.dog_names.mid(0, 4), Other_Tool_Dogs + QStringList{QStringLiteral("Bolesław")}) << c.fixture;
    EXPECT_EQ(other.dog_names[8], QStringLiteral("Dvořák")) << c.fixture; // heat 2, box 1

    Event_Document again;
    ASSERT_TRUE(again.Load(path)) << c.fixture;
    EXPECT_EQ(again.Dog_Name(1, 4), QStringLiteral("Bolesław")) << c.fixture;
    EXPECT_EQ(again.Serialize(), bytes) << c.fixture << ": a second save changes nothing";
  }
}

TEST(Event_Document_Encoding, EveryEightBitFormIsReadAsWhatItIs) {
  const struct {
    const char *what;
    QByteArray bytes;
    const char *event_name;
  } cases[] = {
      {"ISO-8859-1",
       "<?xml version=\"1.0\" "
       "encoding=\"ISO-8859-1\"?><Lurcher_event_file><event_name>M\xFCller</event_name></Lurcher_event_file>",
       "Müller"},
      {"UTF-8 declared",
       "<?xml version=\"1.0\" "
       "encoding=\"utf-8\"?><Lurcher_event_file><event_name>\xC5\x81ucja</event_name></Lurcher_event_file>",
       "Łucja"},
      {"UTF-8 with a byte order mark",
       "\xEF\xBB\xBF<Lurcher_event_file><event_name>\xC5\x81ucja</event_name></Lurcher_event_file>", "Łucja"},
      {"windows-1250",
       "<?xml version='1.0' "
       "encoding='windows-1250'?><Lurcher_event_file><event_name>\xA3ucja</event_name></Lurcher_event_file>",
       "Łucja"},
      // Latin-1 bytes under a UTF-8 declaration or none: every byte keeps its character.
      {"Latin-1 declared as UTF-8",
       "<?xml version=\"1.0\" "
       "encoding=\"UTF-8\"?><Lurcher_event_file><event_name>M\xFCller</event_name></Lurcher_event_file>",
       "Müller"},
      {"Latin-1 undeclared", "<Lurcher_event_file><event_name>M\xFCller</event_name></Lurcher_event_file>", "Müller"},
  };
  for (const auto &c : cases) {
    Temp_AppData appdata;
    const QString path = appdata.Write(QStringLiteral("event.xml"), c.bytes);
    Event_Document doc;
    QString why;
    ASSERT_TRUE(doc.Load(path, &why)) << c.what << ": " << why.toStdString();
    EXPECT_EQ(doc.Event_name(), QString::fromUtf8(c.event_name)) << c.what;
    const QByteArray saved = doc.Serialize();
    const Read_Elsewhere other = Read_With_Qt(saved);
    EXPECT_EQ(other.encoding.toLower(), QStringLiteral("iso-8859-1")) << c.what;
    EXPECT_EQ(other.event_name, QString::fromUtf8(c.event_name)) << c.what << ": " << saved.toStdString();
  }
}

TEST(Event_Document_Encoding, AUTF16FileIsRead) {
  Temp_AppData appdata;
  const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><Lurcher_event_file>"
                                      "<event_name>Łucja</event_name></Lurcher_event_file>");
  QByteArray bytes("\xFF\xFE");
  bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
  Event_Document doc;
  ASSERT_TRUE(doc.Load(appdata.Write(QStringLiteral("wide.xml"), bytes)));
  EXPECT_EQ(doc.Event_name(), QStringLiteral("Łucja"));
  EXPECT_EQ(Read_With_Qt(doc.Serialize()).event_name, QStringLiteral("Łucja"));
}

TEST(Event_Document_Encoding, AnEncodingThatCannotBeReadIsNamed) {
  Temp_AppData appdata;
  const QString path =
      appdata.Write(QStringLiteral("odd.xml"),
                    "<?xml version=\"1.0\" "
                    "encoding=\"x-no-such-code\"?><Lurcher_event_file><event_name>A</event_name></Lurcher_event_file>");
  Event_Document doc;
  QString why;
  EXPECT_FALSE(doc.Load(path, &why));
  EXPECT_TRUE(why.contains(QStringLiteral("\"x-no-such-code\""))) << why.toStdString();
  EXPECT_TRUE(doc.Is_Empty());
}

TEST(Event_Document_Encoding, ADocumentWithoutDeclarationGetsOne) {
  Temp_AppData appdata;
  const QString path = appdata.Write(QStringLiteral("bare.xml"),
                                     "<Lurcher_event_file><event_name>Cup</event_name></Lurcher_event_file>");
  Event_Document doc;
  ASSERT_TRUE(doc.Load(path));
  EXPECT_EQ(doc.Serialize(), QByteArray("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"
                                        "<Lurcher_event_file><event_name>Cup</event_name></Lurcher_event_file>\r\n"));
}
