# SPDX-License-Identifier: GPL-3.0-or-later
# The check window BrevanCheck on the desktop: its menu entry, AppStream description, icon in
# every hicolor size, and manual page. Read by packaging.cmake after every program's folder, so
# it sees whether the build has the window; without it, nothing here is built or installed and
# BREVAN_CHECK_APP_ID stays empty, which tells the installed-tree test to skip these files.
set(BREVAN_CHECK_APP_ID "")
if(NOT TARGET BrevanCheck)
  return()
endif()
set(BREVAN_CHECK_APP_ID "com.example.BrevanCheck")

# The icon is drawn in code: the window can show it (link brevan_check_icon, call
# makeCheckIcon()) and the theme's PNGs are rendered from the same code at build time.
if(NOT TARGET brevan_check_icon)
  add_library(brevan_check_icon STATIC checkapp/check_icon.cpp)
  target_include_directories(brevan_check_icon PUBLIC "${PROJECT_SOURCE_DIR}/checkapp")
  target_link_libraries(brevan_check_icon PUBLIC Qt6::Gui PRIVATE brevan_warnings)
endif()
add_executable(brevan_render_check_icons checkapp/tools/render_check_icons.cpp)
target_link_libraries(brevan_render_check_icons
                      PRIVATE brevan_check_icon brevan_theme_icons brevan_warnings)

set(_brevan_check_hicolor_dir "${PROJECT_BINARY_DIR}/check-icons/hicolor")
set(_brevan_check_icon_files "")
foreach(size IN LISTS BREVAN_ICON_SIZES)
  list(APPEND _brevan_check_icon_files
       "${_brevan_check_hicolor_dir}/${size}x${size}/apps/${BREVAN_CHECK_APP_ID}.png")
endforeach()
add_custom_command(
  OUTPUT ${_brevan_check_icon_files}
  COMMAND brevan_render_check_icons "${_brevan_check_hicolor_dir}" "${BREVAN_CHECK_APP_ID}"
          ${BREVAN_ICON_SIZES}
  DEPENDS brevan_render_check_icons
  COMMENT "Rendering the check window's hicolor icons"
  VERBATIM)
add_custom_target(brevan_check_icons ALL DEPENDS ${_brevan_check_icon_files})

configure_file(packaging/brevan-check-window.desktop.in
               "${PROJECT_BINARY_DIR}/${BREVAN_CHECK_APP_ID}.desktop" @ONLY)
configure_file(packaging/brevan-check-window.metainfo.xml.in
               "${PROJECT_BINARY_DIR}/${BREVAN_CHECK_APP_ID}.metainfo.xml" @ONLY)

brevan_man_page(BrevanCheck 1)

install(TARGETS BrevanCheck RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES "${PROJECT_BINARY_DIR}/${BREVAN_CHECK_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${PROJECT_BINARY_DIR}/${BREVAN_CHECK_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(DIRECTORY "${_brevan_check_hicolor_dir}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons")
