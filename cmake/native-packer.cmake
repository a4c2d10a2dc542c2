# In a cross build the sprite-sheet packer must run on the build machine, so it is built there as a
# small native project (cmake/native-tools) against the build machine's Qt, or taken ready-made
# from PERUMORA_PACKSHEETS. Sets PERUMORA_PACKER (the program) and PERUMORA_PACKER_DEPENDS.
set(PERUMORA_PACKSHEETS "" CACHE FILEPATH "A sprite-sheet packer built for the build machine (cross builds)")
if(PERUMORA_PACKSHEETS)
  set(PERUMORA_PACKER ${PERUMORA_PACKSHEETS})
  set(PERUMORA_PACKER_DEPENDS ${PERUMORA_PACKSHEETS})
  return()
endif()

include(ExternalProject)
set(_native_dir ${CMAKE_BINARY_DIR}/native-tools)
set(PERUMORA_PACKER ${_native_dir}/perumora-packsheets)
# A clean environment for the native configure: nothing of the cross toolchain may leak in.
ExternalProject_Add(native-packsheets
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/cmake/native-tools
  BINARY_DIR ${_native_dir}
  CMAKE_COMMAND ${CMAKE_COMMAND} -E env --unset=CMAKE_TOOLCHAIN_FILE --unset=CC --unset=CXX ${CMAKE_COMMAND}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
  BUILD_BYPRODUCTS ${PERUMORA_PACKER}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
set(PERUMORA_PACKER_DEPENDS native-packsheets ${PERUMORA_PACKER})
