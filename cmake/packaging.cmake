# Desktop integration and the Debian package: the program, its menu entry, its AppStream
# description and its icon in every size a desktop asks the hicolor theme for.
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

# For the installed-tree test, which is set up before this file is read.
list(JOIN BREVAN_ICON_SIZES " " _brevan_icon_size_words)
file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/install_layout.sh"
     CONTENT "BREVAN_APP_ID='@BREVAN_APP_ID@'\nBREVAN_ICON_SIZES='@_brevan_icon_size_words@'\n"
     @ONLY)

install(TARGETS Brevan1-2 RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
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
    "shortened coil-loaded HF dipole calculator for restricted spaces")
set(CPACK_PACKAGE_DESCRIPTION
    "Brevan designs a shortened, coil-loaded half-wave dipole for the HF bands: from the\n\
frequency, the antenna length, the coil position and the wire gauge it gives the inductance\n\
of each loading coil, then the turns and revised length of a single-layer coil.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "hamradio")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The window is laid out for Liberation Sans, which no library dependency brings along.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
find_program(BREVAN_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(BREVAN_FILE_COMMAND file)
if(BREVAN_DPKG_SHLIBDEPS AND BREVAN_FILE_COMMAND)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
         ", libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), libstdc++6, libc6")
endif()
include(CPack)
