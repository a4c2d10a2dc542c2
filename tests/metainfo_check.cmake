# The AppStream metainfo validates pedantically; the only note allowed is the upper-case letters of
# the reverse-DNS id, which desktops have used since before the rule.
execute_process(COMMAND "${APPSTREAMCLI}" validate --pedantic --no-net
                        "${SOURCE_DIR}/packaging/org.perumora.Perumora.metainfo.xml"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
string(REGEX MATCHALL "(^|\n)[A-Z]: [^\n]*" issues "${output}")
list(FILTER issues EXCLUDE REGEX "cid-contains-uppercase-letter")
if(NOT result EQUAL 0 OR issues)
  message(FATAL_ERROR "appstreamcli validate --pedantic:\n${output}")
endif()
