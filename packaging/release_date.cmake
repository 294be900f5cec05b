# The release date (TIDEWRIGHT_RELEASE_DATE, YYYY-MM-DD) in the two other forms the
# package needs: the Debian changelog's RFC 2822 date and, for reproducible manual
# pages, SOURCE_DATE_EPOCH. Both are noon UTC of that day.
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C
            date -u -d "${TIDEWRIGHT_RELEASE_DATE} 12:00" "+%a, %d %b %Y %H:%M:%S +0000|%s"
    OUTPUT_VARIABLE release_dates
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE release_dates_status)
if(NOT release_dates_status EQUAL 0 OR NOT release_dates MATCHES "^(.+)\\|([0-9]+)$")
    message(FATAL_ERROR "TIDEWRIGHT_RELEASE_DATE '${TIDEWRIGHT_RELEASE_DATE}' is not a date "
                        "that date(1) reads")
endif()
set(TIDEWRIGHT_RELEASE_DATE_RFC2822 "${CMAKE_MATCH_1}")
set(TIDEWRIGHT_RELEASE_EPOCH "${CMAKE_MATCH_2}")
