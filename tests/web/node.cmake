# The test programs under Node.js (ctest runs them through node, the cross build's emulator):
# plain programs, not Qt's browser modules, headless on the offscreen platform, with the real file
# system for the reference frames, the environment passed in, and the exit code of main.
get_filename_component(_fontdir ${PERUMORA_IPA_GOTHIC} DIRECTORY)
foreach(program perumora_tests perumora_tour)
  qt_import_plugins(${program} INCLUDE Qt6::QOffscreenIntegrationPlugin)
  target_link_libraries(${program} PRIVATE embind)
  target_compile_definitions(${program} PRIVATE PERUMORA_TEST_FONTDIR="${_fontdir}")
  # -O1: a link in seconds, readable stack traces, the same speed for tests.
  target_link_options(${program} PRIVATE -O1 -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
                      -sSTACK_SIZE=1MB "SHELL:--pre-js ${CMAKE_CURRENT_SOURCE_DIR}/web/node-prejs.js")
endforeach()

# The face made for the page from the program's texts.
add_test(NAME WebFaceHoldsTheProgramsCharacters
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/web/check_font.py
          ${PROJECT_SOURCE_DIR}/packaging/web/subset-font.py ${PERUMORA_IPA_GOTHIC} ${PERUMORA_WEB_FONT}
          ${CMAKE_BINARY_DIR}/generated/font-characters.txt)
