# ---- installer: configuration block, archive walk, dialogs -------------------------------------
# Included from CMakeLists.txt below the inflate section.

# The pure logic: configuration block, entry names and paths, traditional decryption, the walk.
astrel_portable_library(vexel_core config_block.cpp entry_path.cpp zip_crypt.cpp zip_walker.cpp INCLUDE .)
target_link_libraries(vexel_core PUBLIC vexel_inflate)
if(ASTREL_WIN32)
  # Linked into the small installer program, which has no C++ runtime.
  target_compile_options(vexel_core PRIVATE -Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
                                            -ffunction-sections)
else()
  # The walk's surroundings on Linux, for tests, the fuzz target and the benchmark.
  astrel_portable_library(vexel_posix_host posix_host.cpp)
  target_link_libraries(vexel_posix_host PUBLIC vexel_core)
endif()

astrel_test(NAME vexel_config_block_test SOURCES tests/config_block_test.cpp LIBS vexel_core TIMEOUT 60)
astrel_test(NAME vexel_entry_path_test NATIVE_ONLY SOURCES tests/entry_path_test.cpp LIBS vexel_posix_host vexel_test_support TIMEOUT 60)
astrel_test(NAME vexel_zip_crypt_test NATIVE_ONLY SOURCES tests/zip_crypt_test.cpp LIBS vexel_core vexel_test_support TIMEOUT 60)
astrel_test(NAME vexel_zip_walker_test NATIVE_ONLY SOURCES tests/zip_walker_test.cpp
            LIBS vexel_posix_host vexel_test_support ${vexel_zlib} TIMEOUT 120)

if(NOT ASTREL_WIN32)
  return()
endif()

# The installer program. Its image must stay within the 38400 bytes in front of the configuration
# block: no C++ runtime, no exceptions, no static constructors, wsprintfA rather than stdio.
enable_language(RC)
# The pure logic is compiled once more for this program with its small-code options.
# Its own files are in win/: the program, its dialogs, the walk's Win32 surroundings, resources.
add_executable(Vexel WIN32 win/installer_main.cpp win/installer_dialogs.cpp win/win32_host.cpp win/Vexel.rc
               config_block.cpp entry_path.cpp zip_crypt.cpp zip_walker.cpp crc32.cpp inflate.cpp)
target_include_directories(Vexel PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/win)
target_link_libraries(Vexel PRIVATE comctl32 shell32 mpr)
target_compile_options(Vexel PRIVATE
  $<$<COMPILE_LANGUAGE:CXX>:-Os -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
                            -ffunction-sections>)
# Own entry point without the run-time start-up; no relocations (the image always loads at its base).
target_link_options(Vexel PRIVATE -nostartfiles -Wl,-e,_VexelStart -s -Wl,--gc-sections
                    -Wl,--disable-dynamicbase -Wl,--disable-reloc-section)
set_source_files_properties(win/Vexel.rc PROPERTIES OBJECT_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win/MnIcon.ico)
add_custom_command(TARGET Vexel POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DIMAGE=$<TARGET_FILE:Vexel> -DLIMIT=38400
          -P ${CMAKE_CURRENT_SOURCE_DIR}/check_image.cmake
  VERBATIM)
# It may import system libraries only.
astrel_import_check(FILE Vexel BUILD_STEP
  ALLOWED kernel32.dll user32.dll gdi32.dll shell32.dll comctl32.dll mpr.dll msvcrt.dll advapi32.dll)

# Its tests drive the real program under Wine over archives made by Info-ZIP's zip.
find_program(VEXEL_ZIP_TOOL NAMES zip REQUIRED NO_CMAKE_FIND_ROOT_PATH)
find_program(VEXEL_UNZIP_TOOL NAMES unzip REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(vexel_fixtures ${CMAKE_CURRENT_BINARY_DIR}/installer-fixtures)
add_custom_command(OUTPUT ${vexel_fixtures}/stamp
  COMMAND ${CMAKE_COMMAND} -DOUT=${vexel_fixtures} -DZIP=${VEXEL_ZIP_TOOL} -DUNZIP=${VEXEL_UNZIP_TOOL}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/tests/make_installer_fixtures.cmake
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/make_installer_fixtures.cmake
  COMMENT "Archive für die Tests des Installers"
  VERBATIM)
add_custom_target(vexel_installer_fixtures DEPENDS ${vexel_fixtures}/stamp)
astrel_test(NAME vexel_installer_test WIN32_ONLY GUI SOURCES tests/installer_test.cpp
            LIBS vexel_core vexel_test_support astrel_testsupport ${vexel_zlib} TIMEOUT 240)
add_dependencies(vexel_installer_test Vexel vexel_installer_fixtures)
