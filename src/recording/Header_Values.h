#pragma once
// How the heat header writes numbers as text and reads them back.

#include <QString>
#include <cstdint>

// Plain decimal text: optional blanks, an optional sign, digits. Text that is no such number
// raises 13 (type mismatch); a number beyond 64 bits raises 6 (overflow). The caller checks
// the 16- or 32-bit width.
long long Header_Number(const QString &text);

// As above without raising: false for text that is not a 32-bit number.
bool Read_Header_Int32(const QString &text, std::int32_t &value);

// Whether the text reads as a number at all (integer or decimal fraction).
bool Is_Header_Numeric(const QString &text);
