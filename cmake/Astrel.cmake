# Shared settings and helper functions of every folder's CMakeLists.txt.

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

if(CMAKE_CROSSCOMPILING AND WIN32)
  set(ASTREL_WIN32 ON)
else()
  set(ASTREL_WIN32 OFF)
endif()

# Texts are written in UTF-8 and reach the programs, their files and windows as code page 1252,
# in both builds, so that a native test sees the same bytes as the Windows program.
# clang (used only for the fuzz targets) knows no other execution character set than UTF-8: there the
# literals stay UTF-8, which changes message texts but not the code paths the fuzzers explore.
# Non-ASCII character constants are therefore written as escapes ('\xDC'), never as literal characters.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options(-fexec-charset=CP1252)
endif()
add_compile_options(-Wall -Wextra -Wno-unused-parameter)

if(ASTREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

set(ASTREL_WINE_RUNNER ${CMAKE_SOURCE_DIR}/tools/wine/wine-run.sh)
set(ASTREL_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)

# astrel_wine_limit(<test> <seconds>): the time limit of a test that runs Windows programs. The
# runner ends Wine cleanly after <seconds> - 10 (ASTREL_WINE_TIMEOUT), multiplied by the road's time
# scale where 32-bit code is emulated (tools/wine/i386-road.sh: the road is the machine's, found
# when the test runs); ctest's own limit stands behind it, past the longest scaled limit, for a
# runner that cannot end.
set(ASTREL_WINE_TIME_SCALE_MAX 3)
function(astrel_wine_limit test seconds)
  math(EXPR inner "${seconds} - 10")
  math(EXPR outer "${seconds} * ${ASTREL_WINE_TIME_SCALE_MAX}")
  set_tests_properties(${test} PROPERTIES TIMEOUT ${outer})
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ASTREL_WINE_TIMEOUT=${inner})
endfunction()

if(ASTREL_WIN32)
  add_compile_definitions(WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_IE=0x0400 NOMINMAX)
  # The project's own folder as the Windows programs see it (Wine's drive Z: is the root).
  set(ASTREL_SOURCE_DIR_FOR_TESTS "Z:${CMAKE_SOURCE_DIR}")
  set(ASTREL_BINARY_DIR_FOR_TESTS "Z:${CMAKE_BINARY_DIR}")
  set(CMAKE_CROSSCOMPILING_EMULATOR bash ${ASTREL_WINE_RUNNER} --template ${ASTREL_WINE_TEMPLATE})
  if(NOT ASTREL_WIN32_DEPS)
    message(FATAL_ERROR "ASTREL_WIN32_DEPS is not set: run tools/setup/setup.sh (make does this)")
  endif()
  add_library(astrel_png SHARED IMPORTED GLOBAL)
  set_target_properties(astrel_png PROPERTIES
    IMPORTED_LOCATION ${ASTREL_WIN32_DEPS}/bin/lpng.dll
    IMPORTED_IMPLIB ${ASTREL_WIN32_DEPS}/lib/liblpng.dll.a
    INTERFACE_INCLUDE_DIRECTORIES ${ASTREL_WIN32_DEPS}/include)
  add_library(astrel_expat SHARED IMPORTED GLOBAL)
  set_target_properties(astrel_expat PROPERTIES
    IMPORTED_LOCATION ${ASTREL_WIN32_DEPS}/bin/xmlparse.dll
    IMPORTED_IMPLIB ${ASTREL_WIN32_DEPS}/lib/libxmlparse.dll.a
    INTERFACE_INCLUDE_DIRECTORIES ${ASTREL_WIN32_DEPS}/include)
  add_library(astrel_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(astrel_jpeg PROPERTIES
    IMPORTED_LOCATION ${ASTREL_WIN32_DEPS}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${ASTREL_WIN32_DEPS}/include)
  set(ASTREL_ZLIB_LIBRARY /usr/i686-w64-mingw32/lib/libz.a)
else()
  set(ASTREL_SOURCE_DIR_FOR_TESTS "${CMAKE_SOURCE_DIR}")
  set(ASTREL_BINARY_DIR_FOR_TESTS "${CMAKE_BINARY_DIR}")
  find_package(PNG REQUIRED)
  find_package(JPEG REQUIRED)
  find_package(EXPAT REQUIRED)
  find_package(ZLIB REQUIRED)
  add_library(astrel_png INTERFACE IMPORTED GLOBAL)
  target_link_libraries(astrel_png INTERFACE PNG::PNG)
  add_library(astrel_jpeg INTERFACE IMPORTED GLOBAL)
  target_link_libraries(astrel_jpeg INTERFACE JPEG::JPEG)
  add_library(astrel_expat INTERFACE IMPORTED GLOBAL)
  target_link_libraries(astrel_expat INTERFACE EXPAT::EXPAT)
endif()

# GoogleTest, built from Debian's sources in each configuration.
if(NOT ASTREL_FUZZ)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own sources are not ours to compile in code page 1252 or with our warnings.
  foreach(t gtest gtest_main gmock gmock_main)
    target_compile_options(${t} PRIVATE -finput-charset=UTF-8 -fexec-charset=UTF-8 -w)
  endforeach()
endif()

# astrel_file_of(<var> <target or file>): the file of a target (a generator expression), or the
# file itself when it is given as an absolute path.
function(astrel_file_of var item)
  if(IS_ABSOLUTE "${item}")
    set(${var} "${item}" PARENT_SCOPE)
  else()
    set(${var} "$<TARGET_FILE:${item}>" PARENT_SCOPE)
  endif()
endfunction()

# astrel_dlls_beside(<target> <dlls...>): in the Windows build, copies each DLL beside the program
# of <target> after it is linked, since Windows loads a program's DLLs from the program's own folder
# first. A DLL is a target of the project (built first), an imported library (astrel_png,
# astrel_expat: its file) or the absolute path of a file. Natively it does nothing.
function(astrel_dlls_beside target)
  if(NOT ASTREL_WIN32 OR NOT ARGN)
    return()
  endif()
  set(files "")
  foreach(dll IN LISTS ARGN)
    astrel_file_of(file ${dll})
    list(APPEND files "${file}")
    if(NOT IS_ABSOLUTE "${dll}")
      # The imported libraries are declared above; any other name is a target built here, in
      # whichever folder (perhaps one added later), which the program waits for.
      set(imported OFF)
      if(TARGET ${dll})
        get_target_property(imported ${dll} IMPORTED)
      endif()
      if(NOT imported)
        add_dependencies(${target} ${dll})
      endif()
    endif()
  endforeach()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${files} $<TARGET_FILE_DIR:${target}>)
endfunction()

# astrel_fixtures(<target> SCRIPT <script> FOLDER <folder> COMMENT <text> [ALL]): the target that
# makes a folder of test files by `bash <script> <folder>` (its output in <folder>.log, shown when
# the script fails), again whenever the script changes; a file "stamp" in the folder marks it made.
# The tests that read the folder depend on <target>; with ALL it is made by every build.
function(astrel_fixtures target)
  cmake_parse_arguments(F "ALL" "SCRIPT;FOLDER;COMMENT" "" ${ARGN})
  add_custom_command(OUTPUT ${F_FOLDER}/stamp
    COMMAND bash -c "bash \"$1\" \"$2\" >\"$2.log\" 2>&1 || { cat \"$2.log\"; exit 1; }" fixtures
      ${F_SCRIPT} ${F_FOLDER}
    COMMAND ${CMAKE_COMMAND} -E touch ${F_FOLDER}/stamp
    DEPENDS ${F_SCRIPT}
    COMMENT "${F_COMMENT}"
    VERBATIM)
  set(all "")
  if(F_ALL)
    set(all ALL)
  endif()
  add_custom_target(${target} ${all} DEPENDS ${F_FOLDER}/stamp)
endfunction()

# astrel_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [DLLS <targets or files...>]
#             [TIMEOUT <s>] [WIN32_ONLY] [NATIVE_ONLY] [GUI] [LABELS ...] [ENVIRONMENT ...]
#             [WRAPPER <script>] [INCLUDE <folders...>])
# One GoogleTest program, registered as one ctest test. With WRAPPER the test runs as
# `bash <script> <the program's command line>`: the script starts a peer server the program talks
# to (and fails when it cannot). Tests find their fixtures through the
# definitions ASTREL_SOURCE_DIR and ASTREL_BINARY_DIR (as the program sees them: under Wine with
# drive Z:). Under Wine every test has a prefix and an X server of its own. DLLS are put beside
# the Windows test program (see astrel_dlls_beside). INCLUDE names folders (relative to the current
# one) the test's own sources include from.
function(astrel_test)
  cmake_parse_arguments(T "WIN32_ONLY;NATIVE_ONLY;GUI;NO_GTEST_MAIN" "NAME;TIMEOUT;WRAPPER" "SOURCES;LIBS;DLLS;LABELS;ENVIRONMENT;INCLUDE" ${ARGN})
  if(ASTREL_FUZZ)
    return()
  endif()
  if(T_WIN32_ONLY AND NOT ASTREL_WIN32)
    return()
  endif()
  if(T_NATIVE_ONLY AND ASTREL_WIN32)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  if(T_INCLUDE)
    target_include_directories(${T_NAME} PRIVATE ${T_INCLUDE})
  endif()
  if(T_NO_GTEST_MAIN)
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest)
  else()
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
  endif()
  target_compile_definitions(${T_NAME} PRIVATE
    ASTREL_SOURCE_DIR="${ASTREL_SOURCE_DIR_FOR_TESTS}"
    ASTREL_BINARY_DIR="${ASTREL_BINARY_DIR_FOR_TESTS}")
  if(ASTREL_WIN32 AND T_GUI)
    set_target_properties(${T_NAME} PROPERTIES WIN32_EXECUTABLE OFF)
  endif()
  astrel_dlls_beside(${T_NAME} ${T_DLLS})
  if(T_WRAPPER)
    add_test(NAME ${T_NAME} COMMAND bash ${T_WRAPPER} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${T_NAME}>
      --gtest_brief=1)
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_brief=1)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(ASTREL_WIN32)
    astrel_wine_limit(${T_NAME} ${T_TIMEOUT})
  else()
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
  if(T_ENVIRONMENT)
    set_property(TEST ${T_NAME} APPEND PROPERTY ENVIRONMENT ${T_ENVIRONMENT})
  endif()
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()

# astrel_import_check(NAME <name> FILE <target or file> ALLOWED <dlls...> [REQUIRED <dlls...>]
#                     [BUILD_STEP])
# Windows build: checks that a shipped program or DLL imports only the libraries ALLOWED, and each
# of REQUIRED (cmake/check_imports.cmake). A ctest test <name>; with BUILD_STEP instead a step after
# linking the target, which deletes the file and fails the build.
function(astrel_import_check)
  cmake_parse_arguments(I "BUILD_STEP" "NAME;FILE" "ALLOWED;REQUIRED" ${ARGN})
  if(NOT ASTREL_WIN32)
    return()
  endif()
  astrel_file_of(file ${I_FILE})
  list(JOIN I_ALLOWED "," allowed)
  list(JOIN I_REQUIRED "," required)
  set(command ${CMAKE_COMMAND} -DIMAGE=${file} -DOBJDUMP=${CMAKE_OBJDUMP} -DALLOWED=${allowed}
      -DREQUIRED=${required})
  if(I_BUILD_STEP)
    add_custom_command(TARGET ${I_FILE} POST_BUILD
      COMMAND ${command} -DREMOVE_ON_FAILURE=ON -P ${CMAKE_SOURCE_DIR}/cmake/check_imports.cmake
      VERBATIM)
  else()
    add_test(NAME ${I_NAME} COMMAND ${command} -P ${CMAKE_SOURCE_DIR}/cmake/check_imports.cmake)
  endif()
endfunction()

# astrel_fuzz(NAME <name> SOURCES <files...> [LIBS <targets...>])
# A libFuzzer target, built only in the fuzz configuration. `make fuzz` runs each for a while,
# `make test` briefly.
function(astrel_fuzz)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT ASTREL_FUZZ)
    return()
  endif()
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY ASTREL_FUZZ_TARGETS ${F_NAME})
endfunction()

# astrel_portable_library(<name> <sources...> [INCLUDE <folders...>]): a library of pure logic,
# built in every configuration (fuzz targets link it too). Pure logic does not include <windows.h>.
# INCLUDE names the folders (relative to the current one) whose headers its users include; a
# component's portable root passes ".".
function(astrel_portable_library name)
  cmake_parse_arguments(L "" "" "INCLUDE" ${ARGN})
  add_library(${name} STATIC ${L_UNPARSED_ARGUMENTS})
  if(L_INCLUDE)
    target_include_directories(${name} PUBLIC ${L_INCLUDE})
  endif()
  if(ASTREL_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()

# astrel_library(<name> [<sources...>] [INCLUDE <folders...>]): a library of one configuration
# (the win32 half of a component, a test host); INCLUDE as above. Without sources it is a library
# of headers only (a test helper other components' tests use), its folders reaching its users.
function(astrel_library name)
  cmake_parse_arguments(L "" "" "INCLUDE" ${ARGN})
  if(L_UNPARSED_ARGUMENTS)
    add_library(${name} STATIC ${L_UNPARSED_ARGUMENTS})
    if(L_INCLUDE)
      target_include_directories(${name} PUBLIC ${L_INCLUDE})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${L_INCLUDE})
  endif()
endfunction()

# astrel_add_subfolders(): adds every subfolder of the current folder that has a CMakeLists.txt,
# in name order. bench/, fuzz/ and tools/ hold one subfolder per component this way, so a
# component adds its benchmark, fuzz target or tool without touching a shared list; folders
# without one (bench/common, fuzz/seeds) hold shared files.
function(astrel_add_subfolders)
  file(GLOB lists CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  list(SORT lists)
  foreach(list IN LISTS lists)
    get_filename_component(part ${list} DIRECTORY)
    add_subdirectory(${part})
  endforeach()
endfunction()
