# Windows builds (native MinGW/MSVC or the cross build of `make windows`): the icon and version
# resource, and for a static Qt one self-contained .exe per program, tests included.

configure_file(${PROJECT_SOURCE_DIR}/packaging/perumora.rc.in ${CMAKE_BINARY_DIR}/perumora.rc @ONLY)
target_sources(perumora PRIVATE ${CMAKE_BINARY_DIR}/perumora.rc)

# Every executable target of the project, in this folder and below.
function(perumora_executables dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  set(found "")
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      list(APPEND found ${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    perumora_executables(${subdir} more)
    list(APPEND found ${more})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

get_target_property(_qt_core_type Qt6::Core TYPE)
perumora_executables(${PROJECT_SOURCE_DIR} _programs)
foreach(program ${_programs})
  if(_qt_core_type STREQUAL "STATIC_LIBRARY")
    # A static Qt links no platform plugin by itself: the program needs windows, the tests
    # run headless through offscreen.
    qt_import_plugins(${program} INCLUDE Qt6::QWindowsIntegrationPlugin Qt6::QOffscreenIntegrationPlugin)
    if(MINGW)
      # libgcc, libstdc++ and winpthread inside the .exe: nothing to copy beside it.
      target_link_options(${program} PRIVATE -static $<$<CONFIG:Release,MinSizeRel>:-s>)
    endif()
  endif()
endforeach()
if(_qt_core_type STREQUAL "STATIC_LIBRARY")
  # Buttons and the quit question in the look of the Windows release the program runs on.
  qt_import_plugins(perumora INCLUDE_BY_TYPE styles Qt6::QWindowsVistaStylePlugin)
endif()

# Windows has no Qt translations of its own to find: Qt's Japanese texts go inside the program, taken
# from the build machine's Qt of the same version (Debian's qt6-translations-l10n).
find_file(PERUMORA_QTBASE_JA qtbase_ja.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(PERUMORA_QTBASE_JA)
  get_filename_component(_translations ${PERUMORA_QTBASE_JA} DIRECTORY)
  qt_add_resources(perumora_desktop qt_japanese PREFIX "/translations" BASE ${_translations} FILES ${PERUMORA_QTBASE_JA})
endif()
