# The program for the browser (Emscripten with a static, single-threaded Qt for WebAssembly):
# perumora.js, perumora.wasm and Qt's loader, then the site around them in site/: the page, its
# service worker and manifest, the icons, the Japanese face made from the program's own texts, the
# licences, each beside a gzip and a brotli copy for a plain static server to send.

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(PERUMORA_IPA_GOTHIC /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf CACHE FILEPATH
    "IPA Pゴシック, from which the web build's Japanese face is cut")
set(PERUMORA_SITE ${CMAKE_BINARY_DIR}/site)
set(PERUMORA_COMMIT "" CACHE STRING "The commit the site is built from, named on its licence page")
set(PERUMORA_SOURCE_URL "" CACHE STRING "Where the site's licence page says its source can be had")
set(PERUMORA_WEB_FONT ${CMAKE_BINARY_DIR}/generated/perumora-gothic.ttf)

qt_add_executable(perumora platform/web/main.cpp platform/web/page.cpp platform/web/page.h platform/web/pagefit.cpp
                  platform/web/pagefit.h platform/web/webspeech.cpp platform/web/webspeech.h)
target_link_libraries(perumora PRIVATE perumora_core Qt6::GuiPrivate)  # to tell Qt of a new device-pixel ratio
# One instance per page, fed the module the page has fetched itself (to show its progress).
# The heap's ceiling, not the 4 GB Qt asks by default, which is more than iPadOS grants a tab: every
# activity walked through at a 3840 × 2160 screen (the window drawn at 5.3x) peaked at 94 MB, at
# 1366 × 1024 at ratio 2 at 57 MB; 512 MB leaves room for a 5K or 8K screen.
set_target_properties(perumora PROPERTIES QT_WASM_INITIAL_MEMORY 32MB QT_WASM_MAXIMUM_MEMORY 512MB)

# The face: the glyphs of every character in the texts of the window, the lessons and the simulator.
file(GLOB_RECURSE PERUMORA_TEXT_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/app/*.cpp ${PROJECT_SOURCE_DIR}/app/*.h ${PROJECT_SOURCE_DIR}/lessons/*.cpp
  ${PROJECT_SOURCE_DIR}/simulator/*.cpp ${PROJECT_SOURCE_DIR}/simulator/*.h ${PROJECT_SOURCE_DIR}/draw/*.cpp
  ${PROJECT_SOURCE_DIR}/stage/*.cpp)
add_custom_command(OUTPUT ${PERUMORA_WEB_FONT} ${CMAKE_BINARY_DIR}/generated/font-characters.txt
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/packaging/web/subset-font.py ${PERUMORA_IPA_GOTHIC}
          ${PERUMORA_WEB_FONT} ${CMAKE_BINARY_DIR}/generated/font-characters.txt ${PERUMORA_TEXT_SOURCES}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/web/subset-font.py ${PERUMORA_TEXT_SOURCES}
  COMMENT "Cutting the Japanese face for the web from the program's texts")

add_custom_target(perumora-web-face DEPENDS ${PERUMORA_WEB_FONT})

# A school may ship the original face instead (IPA Pゴシック, 6 MB more to download).
set(PERUMORA_WEB_FONT_ORIGINAL "" CACHE FILEPATH "A face to ship instead of the one cut from the program's texts")
if(PERUMORA_WEB_FONT_ORIGINAL)
  set(PERUMORA_WEB_FONT ${PERUMORA_WEB_FONT_ORIGINAL})
endif()

file(GLOB PERUMORA_PAGE_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/web/*)
add_custom_target(perumora-site ALL
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/packaging/web/assemble-site.py
          --page ${PROJECT_SOURCE_DIR}/web --program $<TARGET_FILE_DIR:perumora> --font ${PERUMORA_WEB_FONT}
          --icons ${PROJECT_SOURCE_DIR}/assets/icons --licence ${PROJECT_SOURCE_DIR}/LICENSE
          --font-licence /usr/share/doc/fonts-ipafont-gothic/copyright --lgpl /usr/share/common-licenses/LGPL-3
          --version ${PROJECT_VERSION} "--commit=${PERUMORA_COMMIT}" "--source-url=${PERUMORA_SOURCE_URL}"
          --out ${PERUMORA_SITE}
  DEPENDS perumora ${PERUMORA_WEB_FONT} ${PERUMORA_PAGE_SOURCES} ${PROJECT_SOURCE_DIR}/packaging/web/assemble-site.py
  COMMENT "Assembling the site in ${PERUMORA_SITE}")
