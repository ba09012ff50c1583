#pragma once
// The results as the heat header holds them: the result table loaded from the header, and
// assignments and clearing written into it. A write changes every value it names or, when
// the header lacks one of them, none: a half-written box would be saved with the next
// change. Saving the header (Write_XML_Header) is the caller's step.

#include "judging/Result_Display.h"
#include "judging/Result_Table.h"
#include "judging/Time_Assignment.h"

#include <array>

class Cls_XML_header;
class cls_VideoFile_handler;

// Every value of all eight boxes and the heading texts. A missing or unreadable element
// raises the header's failure.
Heat_Results Read_Heat_Results(const Cls_XML_header &header);

// Load_Result_Array from the header: boxes 1 to 6, only the values the table holds.
Result_Array Load_Result_Array(const Cls_XML_header &header);
Result_Array Load_Result_Array(cls_VideoFile_handler &heat);
Result_Heading Load_Result_Heading(const Cls_XML_header &header);
Result_Heading Load_Result_Heading(cls_VideoFile_handler &heat);

void Apply_Assignment(Cls_XML_header &header, const Box_Assignment &assignment);

// All eight boxes of the header.
void Clear_all_Results(Cls_XML_header &header);

std::array<bool, heat_boxes> Timed_Boxes(const Cls_XML_header &header, bool split_mode);
