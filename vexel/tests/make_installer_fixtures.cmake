# Archives for the installer's tests under Wine, made by Info-ZIP's zip, and what unzip extracts
# from each of them (the trees the installer must reproduce byte for byte).
#   cmake -DOUT=<folder> -DZIP=<zip> -DUNZIP=<unzip> -P make_installer_fixtures.cmake
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE "${OUT}")
set(src "${OUT}/src")

# Contents that compress well next to contents that do not.
string(RANDOM LENGTH 30000 RANDOM_SEED 7 noise)
string(REPEAT "<p>Quillet: eine Seite mit etwas Text und einem <a href=\"x.htm\">Verweis</a></p>\r\n" 500 text)
file(WRITE "${src}/Quillet.exe" "MZ${noise}${text}")
string(RANDOM LENGTH 16384 RANDOM_SEED 11 noise2)
string(SUBSTRING "${noise2}${text}" 0 32768 window)  # exactly one inflate window
file(WRITE "${src}/LPng.dll" "${window}")
string(REPEAT "Hilfe zu Quillet, Kapitel 1 bis 9.\n" 120 help)
file(WRITE "${src}/DATEN/Hilfe/QUILLET.HLP" "${help}")
file(WRITE "${src}/DATEN/leer.txt" "")

set(files Quillet.exe LPng.dll DATEN/leer.txt DATEN/Hilfe/QUILLET.HLP)
# name | zip options | password
set(variants
  "stored|-0|" "fast|-1|" "normal|-6|" "best|-9|" "noextra|-X -6|" "folders|-r|"
  "secret|-6 -P geheim|geheim" "secretstored|-0 -X -P geheim|geheim")
foreach(v IN LISTS variants)
  string(REPLACE "|" ";" parts "${v}")
  list(GET parts 0 name)
  list(GET parts 1 options)
  list(LENGTH parts n)
  set(password "")
  if(n GREATER 2)
    list(GET parts 2 password)
  endif()
  separate_arguments(options UNIX_COMMAND "${options}")
  set(what ${files})
  if(name STREQUAL "folders")
    set(what Quillet.exe LPng.dll DATEN)
  endif()
  execute_process(COMMAND "${ZIP}" -q ${options} "${OUT}/${name}.zip" ${what}
                  WORKING_DIRECTORY "${src}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "zip ${name}: ${rc}")
  endif()
  set(pw "")
  if(password)
    set(pw -P "${password}")
  endif()
  file(MAKE_DIRECTORY "${OUT}/ref")
  execute_process(COMMAND "${UNZIP}" -q ${pw} -d "${OUT}/ref/${name}" "${OUT}/${name}.zip" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "unzip ${name}: ${rc}")
  endif()
endforeach()

# Written to a pipe: the local headers carry no sizes.
execute_process(COMMAND sh -c "\"$0\" -q - Quillet.exe LPng.dll | cat > \"$1\"" "${ZIP}" "${OUT}/pipe.zip"
                WORKING_DIRECTORY "${src}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "zip pipe: ${rc}")
endif()
file(WRITE "${OUT}/garbage.zip" "Dies ist kein Zip-Archiv, nur Text an seiner Stelle.")
file(TOUCH "${OUT}/stamp")
