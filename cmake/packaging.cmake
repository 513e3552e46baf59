# Desktop integration and the Debian package: the window program, its menu entry, its AppStream
# description and its icon in every size a desktop asks the hicolor theme for; the command-line
# check and its manual page.
include(GNUInstallDirs)

set(BREVAN_APP_ID "com.example.Brevan1")
set(BREVAN_ICON_SIZES 16 24 32 48 64 128 256)

# The icon is drawn in code, so the theme's PNGs are rendered from that same code at build time
# rather than kept as files that could drift from what the window shows.
add_executable(brevan_render_icons app/tools/render_icons.cpp)
target_link_libraries(brevan_render_icons PRIVATE brevan_app brevan_warnings)

set(_brevan_hicolor_dir "${PROJECT_BINARY_DIR}/icons/hicolor")
set(_brevan_icon_files "")
foreach(size IN LISTS BREVAN_ICON_SIZES)
  list(APPEND _brevan_icon_files "${_brevan_hicolor_dir}/${size}x${size}/apps/${BREVAN_APP_ID}.png")
endforeach()
add_custom_command(
  OUTPUT ${_brevan_icon_files}
  COMMAND brevan_render_icons "${_brevan_hicolor_dir}" "${BREVAN_APP_ID}" ${BREVAN_ICON_SIZES}
  DEPENDS brevan_render_icons
  COMMENT "Rendering the hicolor icons"
  VERBATIM)
add_custom_target(brevan_icons ALL DEPENDS ${_brevan_icon_files})

configure_file(packaging/brevan.desktop.in "${PROJECT_BINARY_DIR}/${BREVAN_APP_ID}.desktop" @ONLY)
configure_file(packaging/brevan.metainfo.xml.in
               "${PROJECT_BINARY_DIR}/${BREVAN_APP_ID}.metainfo.xml" @ONLY)

# Debian policy wants manual pages compressed with gzip -9; -n leaves out the name and time
# stamp so that the same page always gives the same bytes. Without gzip it is installed plain.
set(_brevan_man_source "${PROJECT_SOURCE_DIR}/docs/brevan-check.1")
set(_brevan_man_dir "${PROJECT_BINARY_DIR}/man")
find_program(BREVAN_GZIP gzip)
if(BREVAN_GZIP)
  set(_brevan_man_page "${_brevan_man_dir}/brevan-check.1.gz")
  add_custom_command(
    OUTPUT "${_brevan_man_page}"
    COMMAND "${CMAKE_COMMAND}" -E copy "${_brevan_man_source}" "${_brevan_man_dir}/brevan-check.1"
    COMMAND "${BREVAN_GZIP}" -9nf "${_brevan_man_dir}/brevan-check.1"
    DEPENDS "${_brevan_man_source}"
    COMMENT "Compressing the brevan-check manual page"
    VERBATIM)
  add_custom_target(brevan_man_page ALL DEPENDS "${_brevan_man_page}")
else()
  set(_brevan_man_page "${_brevan_man_source}")
endif()
cmake_path(GET _brevan_man_page FILENAME _brevan_man_name)
set(_brevan_man_installed "${CMAKE_INSTALL_MANDIR}/man1/${_brevan_man_name}")

# For the installed-tree test, which is set up before this file is read.
list(JOIN BREVAN_ICON_SIZES " " _brevan_icon_size_words)
file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/install_layout.sh"
     CONTENT "BREVAN_APP_ID='@BREVAN_APP_ID@'
BREVAN_ICON_SIZES='@_brevan_icon_size_words@'
BREVAN_VERSION='@PROJECT_VERSION@'
BREVAN_MAN_PAGE='@_brevan_man_installed@'
"
     @ONLY)

install(TARGETS Brevan1-2 brevan-check RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES "${_brevan_man_page}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${PROJECT_BINARY_DIR}/${BREVAN_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${PROJECT_BINARY_DIR}/${BREVAN_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(DIRECTORY "${_brevan_hicolor_dir}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "brevan")
set(CPACK_PACKAGE_VENDOR "Brevan developers")
set(CPACK_PACKAGE_CONTACT "Brevan developers <brevan@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "shortened coil-loaded HF dipole calculator and checker for restricted spaces")
set(CPACK_PACKAGE_DESCRIPTION
    "Brevan designs a shortened, coil-loaded half-wave dipole for the HF bands: from the\n\
frequency, the antenna length, the coil position and the wire gauge it gives the inductance\n\
of each loading coil, then the turns and revised length of a single-layer coil.\n\
.\n\
The command brevan-check checks such a design as it will be built: the coil as wound\n\
(Nagaoka's coefficient with Rosa's corrections), its losses and self-capacitance, a cut\n\
list, and a full-wave model of the antenna with the NEC-2 engine nec2c that gives where\n\
it resonates, its SWR and 2:1 band, its efficiency and how much to trim each tip.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "hamradio")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The window is laid out for Liberation Sans, which no library dependency brings along;
# brevan-check runs nec2c as a separate program, which no shared library reveals either.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, nec2c")
find_program(BREVAN_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(BREVAN_FILE_COMMAND file)
if(BREVAN_DPKG_SHLIBDEPS AND BREVAN_FILE_COMMAND)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
         ", libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), libstdc++6, libc6")
endif()
include(CPack)
