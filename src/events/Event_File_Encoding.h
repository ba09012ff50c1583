#pragma once
// The encoding of event files. The program writes ISO-8859-1 with characters beyond it as
// character references, and says so in the declaration. Files made by other tools may be
// UTF-8, declared or not, or name another encoding; each is read as what it is, and the
// first save writes bytes that agree with the declaration it writes.

#include <QByteArray>
#include <QString>
#include <pugixml.hpp>

struct Event_File_Text {
  QByteArray bytes;                                  // as the parser takes them
  pugi::xml_encoding encoding = pugi::encoding_auto; // how the parser reads them
  QString problem;                                   // not empty: the file cannot be read
};

// The file's bytes prepared for the parser, from their byte order mark or declaration.
Event_File_Text Event_File_Text_Of(const QByteArray &file_bytes);

// Whether the document holds characters beyond ISO-8859-1 where a character reference
// cannot stand: in a name, a comment, a processing instruction or a CDATA section. Such a
// document is written in UTF-8.
bool Needs_UTF8(const pugi::xml_document &doc);

// The declaration to write before the document: the version and other values of the one
// the document has (if any), with the encoding the bytes are written in.
QByteArray Declaration_Text(const pugi::xml_node &declaration, bool utf8);
