#include "events/Event_File_Encoding.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace {
const QByteArray Utf8_Bom("\xEF\xBB\xBF");

bool Is_Latin1_Name(const QString &name) {
  static const QStringList names{
      QStringLiteral("iso-8859-1"), QStringLiteral("iso8859-1"), QStringLiteral("iso_8859-1"),
      QStringLiteral("latin1"),     QStringLiteral("latin-1"),   QStringLiteral("l1"),
      QStringLiteral("iso-ir-100"), QStringLiteral("cp819"),     QStringLiteral("ibm819")};
  return names.contains(name.toLower());
}

bool Is_UTF8_Name(const QString &name) {
  return name.compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0 ||
         name.compare(QLatin1String("utf8"), Qt::CaseInsensitive) == 0;
}

// Plain ASCII is UTF-8 as well.
bool Is_ASCII_Name(const QString &name) {
  return name.compare(QLatin1String("us-ascii"), Qt::CaseInsensitive) == 0 ||
         name.compare(QLatin1String("ascii"), Qt::CaseInsensitive) == 0;
}

// The encoding the declaration names; empty when there is no declaration or it names none.
QString Declared_Encoding(const QByteArray &bytes) {
  static const QRegularExpression declaration(
      QStringLiteral("^<\\?xml\\s[^>]*?\\bencoding\\s*=\\s*[\"']([^\"']*)[\"']"));
  const QRegularExpressionMatch match = declaration.match(QString::fromLatin1(bytes.left(512)));
  return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

bool Valid_UTF8(const QByteArray &bytes) {
  QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  const QString text = decoder(bytes);
  Q_UNUSED(text);
  return !decoder.hasError();
}

// UTF-16 and UTF-32 begin with a byte order mark or have a NUL among the first bytes.
bool Wide_Encoding(const QByteArray &bytes) {
  if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
    return true;
  return bytes.left(4).contains('\0');
}

// A byte from 0xC4 on starts a UTF-8 sequence for a character from U+0100 on.
bool Beyond_Latin1(const char *utf8) {
  for (const char *p = utf8; *p; ++p)
    if (static_cast<unsigned char>(*p) >= 0xC4)
      return true;
  return false;
}

// Characters beyond ISO-8859-1 in a place of the node where no reference can stand.
bool Beyond_Latin1_Without_References(const pugi::xml_node &node) {
  switch (node.type()) {
  case pugi::node_element:
    if (Beyond_Latin1(node.name()))
      return true;
    for (const pugi::xml_attribute &a : node.attributes())
      if (Beyond_Latin1(a.name()))
        return true;
    return false;
  case pugi::node_comment:
  case pugi::node_cdata:
  case pugi::node_doctype:
    return Beyond_Latin1(node.value());
  case pugi::node_pi:
    return Beyond_Latin1(node.name()) || Beyond_Latin1(node.value());
  default:
    return false;
  }
}
} // namespace

Event_File_Text Event_File_Text_Of(const QByteArray &file_bytes) {
  Event_File_Text text;
  if (Wide_Encoding(file_bytes)) {
    text.bytes = file_bytes; // the parser knows these from their first bytes
    return text;
  }
  const bool bom = file_bytes.startsWith(Utf8_Bom);
  const QByteArray bytes = bom ? file_bytes.mid(Utf8_Bom.size()) : file_bytes;
  const QString declared = Declared_Encoding(bytes);
  text.bytes = bytes;
  if (!bom && Is_Latin1_Name(declared)) {
    text.encoding = pugi::encoding_latin1;
  } else if (bom || declared.isEmpty() || Is_UTF8_Name(declared) || Is_ASCII_Name(declared)) {
    // Bytes that are no UTF-8 come from a tool that wrote Latin-1 without saying so; read as
    // Latin-1 every byte keeps its character.
    text.encoding = Valid_UTF8(bytes) ? pugi::encoding_utf8 : pugi::encoding_latin1;
  } else {
    QStringDecoder decoder(declared.toLatin1().constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) {
      text.problem = QStringLiteral("The file is written in the encoding \"%1\", which cannot be read.").arg(declared);
      return text;
    }
    const QString decoded = decoder(bytes);
    if (decoder.hasError()) {
      text.problem = QStringLiteral("The file is not valid %1 text.").arg(declared);
      return text;
    }
    text.bytes = decoded.toUtf8();
    text.encoding = pugi::encoding_utf8;
  }
  return text;
}

bool Needs_UTF8(const pugi::xml_document &doc) {
  // Every node in document order, without recursion: a deep document cannot exhaust the stack.
  pugi::xml_node node = doc.first_child();
  while (node) {
    if (Beyond_Latin1_Without_References(node))
      return true;
    if (node.first_child()) {
      node = node.first_child();
      continue;
    }
    while (node && !node.next_sibling())
      node = node.parent();
    if (node)
      node = node.next_sibling();
  }
  return false;
}

QByteArray Declaration_Text(const pugi::xml_node &declaration, bool utf8) {
  QByteArray version("1.0");
  QByteArray encoding;
  QByteArray others;
  for (const pugi::xml_attribute &a : declaration.attributes()) {
    const QByteArray name(a.name());
    if (name == "version")
      version = a.value();
    else if (name == "encoding")
      encoding = a.value();
    else
      others += ' ' + name + "=\"" + a.value() + '"';
  }
  // The name already there is kept when it is right, so a file this program wrote stays
  // the same bytes.
  const QString named = QString::fromLatin1(encoding);
  if (utf8 ? !Is_UTF8_Name(named) : !Is_Latin1_Name(named))
    encoding = utf8 ? "UTF-8" : "iso-8859-1";
  return "<?xml version=\"" + version + "\" encoding=\"" + encoding + '"' + others + "?>";
}
