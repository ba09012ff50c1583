#pragma once
// Small helpers the judging tests share.

#include "support/Failure.h"

#include <cctype>
#include <cstdint>
#include <string>

// The failure number body raised, 0 when it raised none.
template <class Body> std::int16_t Failure_Of(Body &&body) {
  try {
    body();
  } catch (const Lurcher_Failure &failure) {
    return failure.Number();
  }
  return 0;
}

// A case's text as a GoogleTest name: letters and digits, the rest "_".
inline std::string Test_Name(std::string name) {
  for (char &ch : name)
    if (!std::isalnum(static_cast<unsigned char>(ch)))
      ch = '_';
  return name;
}
