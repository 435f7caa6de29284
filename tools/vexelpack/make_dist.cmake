# Builds the delivered installer dist/Vexel.exe: a zip of LPng.dll, Quillet.exe and
# DATEN/Hilfe/QUILLET.HLP as they are found in dist/Quillet/ (the PNG library falls back to the
# cross-built one; missing files are left out and named), packed behind the installer program
# with the delivered configuration.
#   cmake -DPACKER= -DPROGRAM= -DQUILLET_DIR= -DFALLBACK_PNG= -DSTAGE= -DOUT= -DZIP= -P make_dist.cmake

# The first of the given names (relative to QUILLET_DIR) that exists, letter case ignored.
function(find_shipped result)
  set(${result} "" PARENT_SCOPE)
  file(GLOB_RECURSE all RELATIVE "${QUILLET_DIR}" "${QUILLET_DIR}/*")
  foreach(wanted IN LISTS ARGN)
    string(TOLOWER "${wanted}" w)
    foreach(f IN LISTS all)
      string(TOLOWER "${f}" l)
      if(l STREQUAL w)
        set(${result} "${QUILLET_DIR}/${f}" PARENT_SCOPE)
        return()
      endif()
    endforeach()
  endforeach()
endfunction()

file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")
set(entries "")

find_shipped(png "LPng.dll")
if(NOT png)
  set(png "${FALLBACK_PNG}")
  message(STATUS "Vexel.exe: LPng.dll aus ${FALLBACK_PNG} (nicht in dist/Quillet/)")
endif()
configure_file("${png}" "${STAGE}/LPng.dll" COPYONLY)
list(APPEND entries LPng.dll)

find_shipped(exe "Quillet.exe")
if(exe)
  configure_file("${exe}" "${STAGE}/Quillet.exe" COPYONLY)
  list(APPEND entries Quillet.exe)
else()
  message(STATUS "Vexel.exe: dist/Quillet/Quillet.exe fehlt und ist nicht im Archiv")
endif()

find_shipped(help "DATEN/Hilfe/QUILLET.HLP")
if(help)
  configure_file("${help}" "${STAGE}/DATEN/Hilfe/QUILLET.HLP" COPYONLY)
  list(APPEND entries DATEN/Hilfe/QUILLET.HLP)
else()
  message(STATUS "Vexel.exe: keine Hilfedatei dist/Quillet/DATEN/Hilfe/QUILLET.HLP, sie ist nicht im Archiv")
endif()

execute_process(COMMAND "${ZIP}" -q -X -9 "${STAGE}/Quillet.zip" ${entries}
                WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "zip ist fehlgeschlagen (${rc})")
endif()
get_filename_component(outdir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${outdir}")
execute_process(COMMAND "${PACKER}" --program "${PROGRAM}" --zip "${STAGE}/Quillet.zip" --out "${OUT}"
                        --flags 1 --title "Programm Name :   Quillet   Version 1.6" --folder "C:\\DESIGNER" --run "><"
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "vexelpack ist fehlgeschlagen (${rc})")
endif()
list(JOIN entries ", " shown)
message(STATUS "dist/Vexel.exe mit ${shown}")
