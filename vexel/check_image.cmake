cmake_minimum_required(VERSION 3.20)
# Run after linking the installer program: its image must fit in front of the configuration block
# (the packer pads it to exactly that length). Its imports are checked by the next step
# (cmake/check_imports.cmake).
#   cmake -DIMAGE=<Vexel.exe> -DLIMIT=<bytes> -P check_image.cmake
file(SIZE "${IMAGE}" size)
if(size GREATER LIMIT)
  file(REMOVE "${IMAGE}")
  message(FATAL_ERROR "Vexel.exe ist ${size} Bytes groß, erlaubt sind ${LIMIT}: das Programm muss kleiner werden.")
endif()
message(STATUS "Vexel.exe: ${size} von ${LIMIT} Bytes")
