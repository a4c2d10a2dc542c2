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
  share/icons/hicolor/256x256/apps/org.perumora.Perumora.png)
foreach(path ${expected})
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "missing after install: ${path}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/org.perumora.Perumora.desktop" desktop)
if(NOT desktop MATCHES "Exec=perumora" OR NOT desktop MATCHES "Icon=org.perumora.Perumora")
  message(FATAL_ERROR "the desktop file does not start the program with its icon")
endif()
message(STATUS "install layout ok")
