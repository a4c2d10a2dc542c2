# Installs into a scratch prefix and checks that every file lands where a Linux desktop looks.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(expected
  bin/perumora
  share/applications/org.perumora.Perumora.desktop
  share/metainfo/org.perumora.Perumora.metainfo.xml
  share/icons/hicolor/32x32/apps/org.perumora.Perumora.png
  share/icons/hicolor/64x64/apps/org.perumora.Perumora.png
  share/icons/hicolor/128x128/apps/org.perumora.Perumora.png
  share/icons/hicolor/256x256/apps/org.perumora.Perumora.png
  share/doc/perumora/copyright
  share/doc/perumora/changelog.gz
  share/man/man1/perumora.1.gz)
foreach(path ${expected})
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "missing after install: ${path}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/org.perumora.Perumora.desktop" desktop)
if(NOT desktop MATCHES "Exec=perumora" OR NOT desktop MATCHES "Icon=org.perumora.Perumora")
  message(FATAL_ERROR "the desktop file does not start the program with its icon")
endif()
file(READ "${PREFIX}/share/doc/perumora/copyright" copyright)
if(NOT copyright MATCHES "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
   OR NOT copyright MATCHES "License: GPL-3\\+\n This program is free software")
  message(FATAL_ERROR "the copyright file is not machine-readable GPL-3+")
endif()
# Compressed as Debian wants it: gzip with neither file name nor time stamp (byte 3 flags, bytes 4-7 time).
foreach(gz share/doc/perumora/changelog.gz share/man/man1/perumora.1.gz)
  file(READ "${PREFIX}/${gz}" head LIMIT 8 HEX)
  if(NOT head STREQUAL "1f8b080000000000")
    message(FATAL_ERROR "${gz} is not gzip without name and time stamp: ${head}")
  endif()
endforeach()
message(STATUS "install layout ok")
