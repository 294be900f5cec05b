# Manual pages, made by help2man from each program's own --help and --version, so an
# option reaches its manual page as soon as it is in --help. What --help does not say
# (name line, files, exit status, examples, the serial permission) lives beside them in
# man/PROGRAM.h2m. The pages carry the release date, not the build date.
find_program(HELP2MAN help2man)
find_program(GZIP gzip)
if(NOT HELP2MAN OR NOT GZIP)
    message(WARNING "help2man or gzip not found: no manual pages are built or installed")
    return()
endif()

set(man_pages)
foreach(program tidewright tidewright-decode tidewright-sim tidewright-relay)
    set(include_file ${CMAKE_CURRENT_SOURCE_DIR}/man/${program}.h2m)
    set(page ${CMAKE_CURRENT_BINARY_DIR}/man/${program}.1)
    # The monitor answers --help before it opens a window; offscreen keeps a display out
    # of the build even so. Sanitizer builds run the programs here too, without leak checks.
    add_custom_command(
        OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
                SOURCE_DATE_EPOCH=${TIDEWRIGHT_RELEASE_EPOCH}
                ${HELP2MAN} --no-info --section=1 --include=${include_file} --output=${page}
                $<TARGET_FILE:${program}>
        COMMAND ${GZIP} -9nf ${page}
        DEPENDS ${program} ${include_file}
        VERBATIM)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    list(APPEND man_pages ${page}.gz)
endforeach()
add_custom_target(tidewright_man_pages ALL DEPENDS ${man_pages})
