cmake_minimum_required(VERSION 3.25)
# Runs a tool as on a machine without a desktop session (no XDG_RUNTIME_DIR, no display, no
# platform chosen) and compares what it writes with what it means to say, byte for byte.
#   cmake -DTOOL=<program> -DARGS=<a|b> -DRC=<status> -DERR=<file> [-DOUT=<file>] -P Tool_Output_check.cmake
# ERR and OUT hold the expected text; {SOURCE} in them stands for the source folder.

string(REPLACE "|" ";" ARGS "${ARGS}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E env --unset=XDG_RUNTIME_DIR --unset=QT_QPA_PLATFORM --unset=DISPLAY
          --unset=WAYLAND_DISPLAY "${TOOL}" ${ARGS}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)

function(expect what got file)
  file(READ "${file}" want)
  string(REPLACE "{SOURCE}" "${SOURCE}" want "${want}")
  if(NOT got STREQUAL want)
    message(FATAL_ERROR "${what} differs.\n--- expected\n${want}--- got\n${got}---")
  endif()
endfunction()

if(NOT rc STREQUAL RC)
  message(FATAL_ERROR "exit status ${rc}, expected ${RC}\n${err}")
endif()
expect("standard error" "${err}" "${ERR}")
if(DEFINED OUT)
  expect("standard output" "${out}" "${OUT}")
endif()
