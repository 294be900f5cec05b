# `cpack -G DEB` in the build folder (or scripts/package) makes
# tidewright_<version>_<arch>.deb from this build: everything under /usr, the
# library dependencies computed by dpkg-shlibdeps, the Debian copyright and changelog.
# The project has no public contact address, so the package names whoever builds it,
# as Debian's own tools do: DEBFULLNAME and DEBEMAIL when set, else the git identity
# of this clone, else the building user at this host.
set(tidewright_packager_name "$ENV{DEBFULLNAME}")
set(tidewright_packager_address "$ENV{DEBEMAIL}")
if(tidewright_packager_address STREQUAL "")
    find_package(Git QUIET)
    if(GIT_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} config user.email
                        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                        OUTPUT_VARIABLE tidewright_packager_address
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        execute_process(COMMAND ${GIT_EXECUTABLE} config user.name
                        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                        OUTPUT_VARIABLE tidewright_packager_name
                        OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
endif()
if(tidewright_packager_address STREQUAL "")
    set(tidewright_packager_name "$ENV{USER}")
    if(tidewright_packager_name STREQUAL "")
        set(tidewright_packager_name "builder")
    endif()
    cmake_host_system_information(RESULT tidewright_packager_host QUERY FQDN)
    set(tidewright_packager_address "${tidewright_packager_name}@${tidewright_packager_host}")
endif()
if(tidewright_packager_name STREQUAL "")
    set(tidewright_packager_name "${tidewright_packager_address}")
endif()
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${tidewright_packager_name} <${tidewright_packager_address}>")

install(FILES debian/copyright DESTINATION ${TIDEWRIGHT_INSTALL_DOCDIR})
configure_file(debian/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(
    OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz
    COMMAND gzip -9nkf ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog
    VERBATIM)
add_custom_target(tidewright_changelog ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${TIDEWRIGHT_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidewright)
set(CPACK_PACKAGE_VENDOR Brinevale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins at run time, so dpkg-shlibdeps cannot see them; without
# them the monitor cannot open a window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "monitor for NMEA 0183 marine instrument data")
# CPack puts the summary above this extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tidewright reads a GPS, echo sounder, wind or heading sensor or an AIS
receiver on a serial port and shows, live, every raw sentence, the decoded
fields of 26 NMEA 0183 sentence types and of every AIS message type from 1 to
27, XML snapshots of the latest fix, and logs recorded to files. Noise, bad
checksums and broken AIS fragments are dropped without stopping the monitor.
.
The package also contains tidewright-decode, which decodes recorded logs into
JSON lines or a summary, and tidewright-sim, which replays a log as a talker
would on a pseudo-terminal or a serial port.")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)
