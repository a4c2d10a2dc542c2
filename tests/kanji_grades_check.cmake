# draw/kanji_grades.inc is what tools/kanji-grades makes from the installed kanjidic, byte for byte.
# Without kanjidic there is nothing to compare with: the test reports itself skipped.
if(NOT DEFINED KANJIDIC)
  set(KANJIDIC /usr/share/edict/kanjidic)
endif()
if(NOT EXISTS "${KANJIDIC}")
  message("PERUMORA_SKIP: kanjidic not installed")
  return()
endif()
execute_process(COMMAND sh "${SOURCE_DIR}/tools/kanji-grades" "${KANJIDIC}"
                RESULT_VARIABLE result OUTPUT_VARIABLE made ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "tools/kanji-grades failed (${result}):\n${errors}")
endif()
file(READ "${SOURCE_DIR}/draw/kanji_grades.inc" checked_in)
if(NOT made STREQUAL checked_in)
  message(FATAL_ERROR "draw/kanji_grades.inc differs from what tools/kanji-grades makes now; "
                      "run tools/kanji-grades > draw/kanji_grades.inc and look at the difference")
endif()
