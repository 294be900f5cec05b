# The application icon: the SVG as the scalable icon, and PNGs rendered from it at the
# usual hicolor sizes for menus and docks that want bitmaps.
set(icon_source ${PROJECT_SOURCE_DIR}/app/icons/tidewright.svg)
set(icon_root ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${icon_source} DESTINATION ${icon_root}/scalable/apps)

find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
    message(WARNING "rsvg-convert (Debian package librsvg2-bin) not found: only the "
                    "scalable icon is installed")
    return()
endif()

set(icon_pngs)
foreach(size 16 22 24 32 48 64 128 256)
    set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/tidewright.png)
    add_custom_command(
        OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${icon_source}
        DEPENDS ${icon_source}
        VERBATIM)
    install(FILES ${png} DESTINATION ${icon_root}/${size}x${size}/apps)
    list(APPEND icon_pngs ${png})
endforeach()
add_custom_target(tidewright_icons ALL DEPENDS ${icon_pngs})
