# The start sound: Qt Multimedia plays the pop built into the program's resources, and the
# interface kit's library is opened at run time. Included by src/app/CMakeLists.txt after
# lurcher_app is declared.

find_package(Qt6 6.4 REQUIRED COMPONENTS Multimedia)
target_sources(lurcher_app PRIVATE ${CMAKE_CURRENT_LIST_DIR}/lurcher_sounds.qrc)
target_link_libraries(lurcher_app PUBLIC Qt6::Multimedia ${CMAKE_DL_LIBS})
