# The win32 half of Quillet's application: the windows and dialogs, the program and dist/Quillet.

# What the insert dialogs build on, below the application: the colour button and the contract
# with the main window (the dialog context, the registry of insert dialogs with their insert
# steps). The dialog libraries link these and no application code.
astrel_library(quillet_colorbutton colorbutton.cpp INCLUDE .)
target_link_libraries(quillet_colorbutton PUBLIC forms_app)
astrel_library(quillet_insertdialogs insertdialogs.cpp INCLUDE .)
target_link_libraries(quillet_insertdialogs PUBLIC forms_app quillet_colorbutton)

# The main window, the document windows, the new-page dialog and the info box.
astrel_library(quillet_app childwin.cpp main.cpp confi.cpp about.cpp INCLUDE .)
target_link_libraries(quillet_app PUBLIC forms_app editor_window quillet_pagelogic quillet_colorbutton
                      quillet_insertdialogs)

# The image browser (tool button 13) over the thumbnail view, the folder picker and the image view.
astrel_library(quillet_browse browse.cpp INCLUDE .)
target_link_libraries(quillet_browse PUBLIC quillet_insertdialogs quillet_thumbs_win quillet_imaging_view)

add_executable(Quillet WIN32 quillet.cpp res/quillet.rc)
target_link_libraries(Quillet PRIVATE quillet_app astrel_png quillet_gif_win32 quillet_imaging_jpegpng quillet_browse)
# The image view's cursors are resources of the program (quillet/imaging/win/res).
target_include_directories(Quillet PRIVATE ${CMAKE_SOURCE_DIR}/quillet/imaging/win/res)
set_target_properties(Quillet PROPERTIES OUTPUT_NAME Quillet)
# The link, image, marquee, video and font dialogs.
add_subdirectory(dialogs)
target_link_libraries(Quillet PRIVATE quillet_tagdialogs)

# dist/Quillet: the program, the PNG library it loads and its working folder, without their debug
# sections (the build folder keeps the program with its symbols, for the tests and for reading a
# crash).
set(QUILLET_DIST ${CMAKE_SOURCE_DIR}/dist/Quillet)
add_custom_target(quillet_dist ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QUILLET_DIST}/DATEN
  COMMAND ${CMAKE_STRIP} --strip-all -o ${QUILLET_DIST}/Quillet.exe $<TARGET_FILE:Quillet>
  COMMAND ${CMAKE_STRIP} --strip-all -o ${QUILLET_DIST}/lpng.dll ${ASTREL_WIN32_DEPS}/bin/lpng.dll
  DEPENDS Quillet
  COMMENT "dist/Quillet")

# A stand-in browser for the preview tests: writes its command line into a file beside itself.
add_executable(quillet_recorder tests/recorder.cpp)
# Brings the compressor window up with a page packed, for the README's picture.
add_executable(quillet_show_compressor tests/show_compressor.cpp)
target_link_libraries(quillet_show_compressor PRIVATE astrel_testsupport)
# Brings the image browser up over the opened page's folder, for the README's picture.
add_executable(quillet_show_browser tests/show_browser.cpp)
target_link_libraries(quillet_show_browser PRIVATE astrel_testsupport)

# The program driven from outside (tests/quillet_app_driver.h), the cases by subject; the control
# ids of the dialogs it drives come from their folders.
astrel_test(NAME quillet_app_test WIN32_ONLY GUI
  SOURCES tests/quillet_app_pages_test.cpp tests/quillet_app_saving_test.cpp tests/quillet_app_preview_test.cpp
          tests/quillet_app_dialogs_test.cpp tests/quillet_app_browser_test.cpp tests/quillet_app_driver.h
  INCLUDE . dialogs tables/win
  LIBS quillet_pagelogic quillet_compressor forms_core astrel_testsupport TIMEOUT 240)
add_dependencies(quillet_app_test Quillet quillet_recorder quillet_browse_fixtures)
# The image browser's pictures, made by ImageMagick and netpbm.
astrel_fixtures(quillet_browse_fixtures SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/tests/browse_fixtures.sh
  FOLDER ${CMAKE_CURRENT_BINARY_DIR}/browse_fixtures COMMENT "Test pictures for the image browser")
target_compile_definitions(quillet_app_test PRIVATE
  QUILLET_EXE="$<TARGET_FILE_NAME:Quillet>" RECORDER_EXE="$<TARGET_FILE_NAME:quillet_recorder>"
  QUILLET_BUILD_DIR="${ASTREL_BINARY_DIR_FOR_TESTS}/quillet/app"
  QUILLET_DEPS_BIN="Z:${ASTREL_WIN32_DEPS}/bin"
  FULL_DISK_PAGE="${ASTREL_BINARY_DIR_FOR_TESTS}/quillet/app/full_disk_page.htm")
# A full disk: the same program with the runner's file-size limit of 3 MB, saving a page of some
# 4 MB made here (the test itself cannot write past the limit either).
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/full_disk_page.htm
  COMMAND sh -c "yes '<p>Eine Zeile einer grossen Seite</p>' | head -c 4000000 > full_disk_page.htm"
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} COMMENT "page larger than the full-disk limit" VERBATIM)
add_custom_target(quillet_full_disk_page DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/full_disk_page.htm)
add_dependencies(quillet_app_test quillet_full_disk_page)
add_test(NAME quillet_app_full_disk_test
  COMMAND quillet_app_test --gtest_brief=1 --gtest_filter=Quillet.ASaveOntoAFullDiskKeepsTheOldPageAndTheChanges)
astrel_wine_limit(quillet_app_full_disk_test 120)
set_property(TEST quillet_app_full_disk_test APPEND PROPERTY ENVIRONMENT ASTREL_WINE_FILE_SIZE_LIMIT=3072)
astrel_test(NAME quillet_colorbutton_test WIN32_ONLY GUI
  SOURCES tests/colorbutton_test.cpp
  LIBS quillet_colorbutton forms_test_host TIMEOUT 120)
# The program imports system libraries (DrawDib from msvfw32) and the shipped PNG library only, that library system
# libraries only.
astrel_import_check(NAME quillet_imports FILE Quillet
  ALLOWED kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll shell32.dll advapi32.dll msvcrt.dll
          ole32.dll oleaut32.dll winmm.dll shlwapi.dll msvfw32.dll lpng.dll)
astrel_import_check(NAME quillet_lpng_imports FILE astrel_png ALLOWED kernel32.dll msvcrt.dll)
astrel_test(NAME quillet_mainform_test WIN32_ONLY GUI
  SOURCES tests/mainform_test.cpp
  LIBS quillet_app TIMEOUT 120)
# The table, form and sound table dialogs (quillet/app/tables).
target_link_libraries(Quillet PRIVATE quillet_tabledialogs)
