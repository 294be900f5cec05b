# The one version number lives in project(VERSION ...); this turns it into a header for
# the programs (tidewright/version.h through the tw_version target) and a release date
# for the package metadata.

# The day the current VERSION was released: the AppStream release entry, the Debian
# changelog and the date on the manual pages. Change it together with VERSION.
set(TIDEWRIGHT_RELEASE_DATE "2026-12-06")

configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
               ${PROJECT_BINARY_DIR}/generated/tidewright/version.h @ONLY)
add_library(tw_version INTERFACE)
target_include_directories(tw_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
