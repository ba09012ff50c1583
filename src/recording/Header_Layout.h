#pragma once
// The default heat header: the elements of each section, in order, with their initial texts.

#include <QString>
#include <vector>

struct Header_Origin;

struct Header_Element {
  const char *name;
  QString text;
};

// A heat uses boxes 1 to 6; the header has room for eight.
constexpr int Header_Box_Count = 8;

std::vector<Header_Element> File_Data_Defaults(const Header_Origin &origin);
std::vector<Header_Element> RGB_Data_Defaults();
std::vector<Header_Element> Lurcher_Defaults(); // the heat elements in front of the boxes
std::vector<Header_Element> Box_Defaults();     // the children of one box
