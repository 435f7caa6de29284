cmake_minimum_required(VERSION 3.20)
# Lists the DLLs a Windows program or DLL imports and fails for any outside its allowed list, or
# when one it must import is missing: what ships may load only system libraries and the two DLLs
# that ship with it.
#   cmake -DIMAGE=<file> -DOBJDUMP=<objdump> -DALLOWED=<a.dll,b.dll,...> [-DREQUIRED=<dll,...>]
#         [-DREMOVE_ON_FAILURE=ON] -P check_imports.cmake
# Names are compared without regard to case. With REMOVE_ON_FAILURE (a build step) the file is
# deleted on failure, so that a failed check also fails the next build.
get_filename_component(name "${IMAGE}" NAME)
function(fail text)
  if(REMOVE_ON_FAILURE)
    file(REMOVE "${IMAGE}")
  endif()
  message(FATAL_ERROR "${name}: ${text}")
endfunction()

execute_process(COMMAND ${OBJDUMP} -p "${IMAGE}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  fail("objdump konnte die Datei nicht lesen")
endif()
string(TOLOWER "${ALLOWED}" allowed)
string(REPLACE "," ";" allowed "${allowed}")
string(TOLOWER "${REQUIRED}" required)
string(REPLACE "," ";" required "${required}")

string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
set(imports "")
foreach(line IN LISTS lines)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  list(APPEND imports ${dll})
endforeach()
if(NOT imports)
  fail("keine Importtabelle gefunden")
endif()
list(JOIN imports " " shown)
message(STATUS "${name} importiert: ${shown}")
foreach(dll IN LISTS imports)
  if(NOT dll IN_LIST allowed)
    fail("importiert ${dll}; erlaubt sind nur ${ALLOWED}")
  endif()
endforeach()
foreach(dll IN LISTS required)
  if(NOT dll IN_LIST imports)
    fail("importiert ${dll} nicht")
  endif()
endforeach()
