# Small helpers so every library, test and tool is declared the same way.

function(lurcher_compile_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wold-style-cast -Wcast-align -Wnull-dereference -Wformat=2)
  if(LURCHER_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(LURCHER_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=undefined
                                             -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# lurcher_add_library(NAME SOURCES ... LIBS ...)
# A static library of one subsystem; headers are included as "subsystem/File.h".
function(lurcher_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  lurcher_compile_options(${name})
  if(LURCHER_SANITIZE)
    target_link_options(${name} INTERFACE -fsanitize=address,undefined)
  endif()
endfunction()

# lurcher_add_executable(NAME SOURCES ... LIBS ...)
function(lurcher_add_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  lurcher_compile_options(${name})
endfunction()

# lurcher_add_test(NAME SOURCES ... LIBS ... [GUI])
# One test executable per unit or story. GUI tests get a QApplication on the offscreen
# platform; core tests a QCoreApplication. No test may see the real home folder.
function(lurcher_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE lurcher_test_main_gui ${ARG_LIBS})
  else()
    target_link_libraries(${name} PRIVATE lurcher_test_main ${ARG_LIBS})
  endif()
  target_compile_definitions(${name} PRIVATE LURCHER_FIXTURES="${PROJECT_SOURCE_DIR}/tests/fixtures")
  lurcher_compile_options(${name})
  set(sandbox ${CMAKE_BINARY_DIR}/test-home/${name})
  file(MAKE_DIRECTORY ${sandbox})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT
      "QT_QPA_PLATFORM=offscreen;HOME=${sandbox};XDG_DATA_HOME=${sandbox}/data;XDG_CONFIG_HOME=${sandbox}/config;XDG_RUNTIME_DIR=${sandbox};TMPDIR=${sandbox};LURCHER_APPDATA=${sandbox}/appdata;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
endfunction()
