# Installs the build into a fresh prefix and checks that the program, its tools and the
# desktop's files land where the desktop looks for them, and that the MIME package makes
# heat files known by their names.
#   cmake -DBUILD=<build folder> -DPREFIX=<empty folder> -DBINDIR=bin -DDATADIR=share -P Install_check.cmake

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}" RESULT_VARIABLE rc
                OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${out}")
endif()

set(expected
    ${BINDIR}/lurcher ${BINDIR}/lurcher-qk3 ${BINDIR}/lurcher-trace ${DATADIR}/applications/lurcher.desktop
    ${DATADIR}/mime/packages/lurcher.xml ${DATADIR}/icons/hicolor/scalable/apps/lurcher.svg)
foreach(file ${expected})
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The desktop entry starts the installed program with the file and offers it for heat files.
file(READ "${PREFIX}/${DATADIR}/applications/lurcher.desktop" entry)
foreach(line "Exec=lurcher %f" "Icon=lurcher" "MimeType=application/x-lurcher-heat;")
  string(FIND "${entry}" "${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks \"${line}\"")
  endif()
endforeach()

find_program(update_mime update-mime-database)
if(update_mime)
  execute_process(COMMAND "${update_mime}" "${PREFIX}/${DATADIR}/mime" RESULT_VARIABLE rc ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "update-mime-database refused the MIME package:\n${out}")
  endif()
  file(READ "${PREFIX}/${DATADIR}/mime/globs2" globs)
  foreach(pattern qk3 qk2)
    if(NOT globs MATCHES ":application/x-lurcher-heat:\\*\\.${pattern}\n")
      message(FATAL_ERROR "*.${pattern} is not a heat file to the MIME database:\n${globs}")
    endif()
  endforeach()
endif()
message(STATUS "installed and checked in ${PREFIX}")
