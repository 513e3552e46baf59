# SPDX-License-Identifier: GPL-3.0-or-later
# Desktop integration and the Debian package: the window program, its menu entry, its AppStream
# description and its icon in every size a desktop asks the hicolor theme for; the command-line
# check and its manual page.
include(GNUInstallDirs)

set(BREVAN_APP_ID "com.example.Brevan1")
set(BREVAN_ICON_SIZES 16 24 32 48 64 128 256)

# The icons are drawn in code, so the theme's PNGs are rendered from that same code at build time
# rather than kept as files that could drift from what the windows show. One renderer writes them
# (tools/theme_icons.h); each program's tool gives it the function that draws its icon.
add_library(brevan_theme_icons STATIC tools/theme_icons.cpp)
target_include_directories(brevan_theme_icons PUBLIC "${PROJECT_SOURCE_DIR}/tools")
target_link_libraries(brevan_theme_icons PUBLIC Qt6::Gui PRIVATE brevan_warnings)
add_executable(brevan_render_icons app/tools/render_icons.cpp)
target_link_libraries(brevan_render_icons PRIVATE brevan_app brevan_theme_icons brevan_warnings)

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

# Debian policy wants manual pages and the changelog compressed with gzip -9; -n leaves out the
# name and time stamp so that the same text always gives the same bytes. Without gzip they are
# installed plain.
find_program(BREVAN_GZIP gzip)

# Compresses <source> into <dir> under the same name with .gz, as part of the build; sets
# <out_var> to the file to install, the source itself when there is no gzip.
function(brevan_gzipped out_var source dir)
  cmake_path(GET source FILENAME name)
  if(NOT BREVAN_GZIP)
    set(${out_var} "${source}" PARENT_SCOPE)
    return()
  endif()
  set(compressed "${dir}/${name}.gz")
  add_custom_command(
    OUTPUT "${compressed}"
    COMMAND "${CMAKE_COMMAND}" -E copy "${source}" "${dir}/${name}"
    COMMAND "${BREVAN_GZIP}" -9nf "${dir}/${name}"
    DEPENDS "${source}"
    COMMENT "Compressing ${name}"
    VERBATIM)
  string(MAKE_C_IDENTIFIER "brevan_gzip_${name}" target)
  add_custom_target(${target} ALL DEPENDS "${compressed}")
  set(${out_var} "${compressed}" PARENT_SCOPE)
endfunction()

# Installs the manual page docs/<name>.<section>; appends its installed path to
# _brevan_man_pages for the installed-tree test.
function(brevan_man_page name section)
  brevan_gzipped(page "${PROJECT_SOURCE_DIR}/docs/${name}.${section}" "${PROJECT_BINARY_DIR}/man")
  install(FILES "${page}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man${section}")
  cmake_path(GET page FILENAME file)
  set(pages ${_brevan_man_pages} "${CMAKE_INSTALL_MANDIR}/man${section}/${file}")
  set(_brevan_man_pages "${pages}" PARENT_SCOPE)
endfunction()

set(_brevan_man_pages "")
brevan_man_page(brevan-check 1)
brevan_man_page(Brevan1-2 1)
# The first page is brevan-check's, whose options the installed-tree test compares with --help.
list(GET _brevan_man_pages 0 _brevan_man_installed)

# What Debian wants beside every package's files: its history and its licence (DEP-5).
set(BREVAN_PACKAGE_NAME "brevan")
set(BREVAN_PACKAGE_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/${BREVAN_PACKAGE_NAME}")
brevan_gzipped(_brevan_changelog "${PROJECT_SOURCE_DIR}/packaging/changelog"
               "${PROJECT_BINARY_DIR}/doc")
install(FILES "${_brevan_changelog}" "${PROJECT_SOURCE_DIR}/packaging/copyright"
        DESTINATION "${BREVAN_PACKAGE_DOC_DIR}")

# The manual: the front page and its chapters with the pictures they show, laid out as in the
# source tree so that their relative links hold; the manual pages point here. The pictures at
# twice the scale are for checking the layout, not for reading, and stay out.
install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION "${BREVAN_PACKAGE_DOC_DIR}")
file(GLOB _brevan_manual_chapters CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/docs/*.md")
install(FILES ${_brevan_manual_chapters} DESTINATION "${BREVAN_PACKAGE_DOC_DIR}/docs")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/docs/pages" "${PROJECT_SOURCE_DIR}/docs/check"
                  "${PROJECT_SOURCE_DIR}/docs/check-window"
        DESTINATION "${BREVAN_PACKAGE_DOC_DIR}/docs"
        FILES_MATCHING PATTERN "*@1x.png" PATTERN "*.svg")

# The check window's menu entry, icon, AppStream data and manual page, when the build has it.
include(cmake/check_window_desktop.cmake)

# For the installed-tree test, which is set up before this file is read.
list(JOIN BREVAN_ICON_SIZES " " _brevan_icon_size_words)
list(JOIN _brevan_man_pages " " _brevan_man_page_words)
file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/install_layout.sh"
     CONTENT "BREVAN_APP_ID='@BREVAN_APP_ID@'
BREVAN_CHECK_APP_ID='@BREVAN_CHECK_APP_ID@'
BREVAN_ICON_SIZES='@_brevan_icon_size_words@'
BREVAN_VERSION='@PROJECT_VERSION@'
BREVAN_MAN_PAGE='@_brevan_man_installed@'
BREVAN_MAN_PAGES='@_brevan_man_page_words@'
BREVAN_DOC_DIR='@BREVAN_PACKAGE_DOC_DIR@'
"
     @ONLY)

install(TARGETS Brevan1-2 brevan-check RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES "${PROJECT_BINARY_DIR}/${BREVAN_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${PROJECT_BINARY_DIR}/${BREVAN_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(DIRECTORY "${_brevan_hicolor_dir}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "${BREVAN_PACKAGE_NAME}")
set(CPACK_PACKAGE_VENDOR "Brevan developers")
set(CPACK_PACKAGE_CONTACT "Brevan developers <brevan@example.com>")
# Debian's tools show the description in an 80-column terminal: lines of at most 79 columns
# with the leading space.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "shortened coil-loaded HF dipole calculator and checker for restricted spaces")
set(CPACK_PACKAGE_DESCRIPTION
    "Brevan designs a shortened, coil-loaded half-wave dipole for the HF bands.\n\
The window Brevan1-2 takes the frequency, the antenna length, the coil\n\
position and the wire gauge and gives the inductance of each loading coil,\n\
then the turns and revised length of a single-layer coil.\n\
.\n\
The command brevan-check checks such a design as it will be built: the coil\n\
as wound (Nagaoka's coefficient with Rosa's corrections), its losses and\n\
self-capacitance, a cut list, and a full-wave model of the antenna with the\n\
NEC-2 engine nec2c that gives where it resonates, its SWR and 2:1 band, its\n\
efficiency and how much to trim each tip.")
if(BREVAN_CHECK_APP_ID)
  string(APPEND CPACK_PACKAGE_DESCRIPTION "\n\
.\n\
The window BrevanCheck shows the same check as you type, with the SWR plot,\n\
a drawing of the cut list and a printable build sheet.")
endif()
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
