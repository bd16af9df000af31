# Installing Skyloom (cmake --install, make install) and packaging it for
# Debian with CPack (make package): the four programs, the desktop entry, the
# icon in several sizes, the man pages, the README and the licence. Every
# resource the programs use is compiled into them, so nothing else goes along.
include(GNUInstallDirs)

set(SKYLOOM_PROGRAMS skyloom skyloom-defs skyloom-font skyloom-blend)
set(SKYLOOM_TOOL_PAGES skyloom-defs skyloom-font skyloom-blend)
set(SKYLOOM_ICON_SIZES 16 24 32 48 64 128 256)
set(SKYLOOM_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/skyloom)
set(SKYLOOM_MAN_DIR ${PROJECT_BINARY_DIR}/man)
set(SKYLOOM_ICON_DIR ${PROJECT_BINARY_DIR}/icons)

install(TARGETS ${SKYLOOM_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/skyloom.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${SKYLOOM_DOC_DIR})

# The viewer's page is written by a helper from the options and controls
# tables; the tools' pages are written by hand and only get the version.
set(man_pages ${SKYLOOM_MAN_DIR}/skyloom.1)
add_custom_command(
  OUTPUT ${SKYLOOM_MAN_DIR}/skyloom.1
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SKYLOOM_MAN_DIR}
  COMMAND skyloom_make_man_page ${PROJECT_VERSION} ${SKYLOOM_MAN_DIR}/skyloom.1
  DEPENDS skyloom_make_man_page
  COMMENT "Writing the man page skyloom.1")
foreach(page IN LISTS SKYLOOM_TOOL_PAGES)
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page}.1.in ${SKYLOOM_MAN_DIR}/${page}.1 @ONLY)
  list(APPEND man_pages ${SKYLOOM_MAN_DIR}/${page}.1)
endforeach()
add_custom_target(skyloom_man_pages ALL DEPENDS ${SKYLOOM_MAN_DIR}/skyloom.1)
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The icon, painted by a helper at each size into the hicolor theme's layout.
set(icons)
foreach(size IN LISTS SKYLOOM_ICON_SIZES)
  set(icon ${SKYLOOM_ICON_DIR}/${size}x${size}/skyloom.png)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SKYLOOM_ICON_DIR}/${size}x${size}
    COMMAND skyloom_make_icon ${size} ${icon}
    DEPENDS skyloom_make_icon
    COMMENT "Painting the ${size}x${size} icon")
  list(APPEND icons ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(skyloom_icons ALL DEPENDS ${icons})

# The Debian package: skyloom_VERSION_ARCH.deb, its dependencies computed by
# dpkg-shlibdeps from the libraries the installed programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skyloom)
set(CPACK_PACKAGE_VENDOR "the Skyloom developers")
set(CPACK_PACKAGE_CONTACT "the Skyloom developers <skyloom@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen viewer for a two-dimensional orbital system")
set(CPACK_PACKAGE_DESCRIPTION
    "Skyloom shows bodies that stand still or move on rotated, scaled, offset\n"
    "ellipses around a parent, in panes that are split, merged, panned and zoomed.\n"
    "It comes with tools to check definitions, make image fonts and blend images.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL opens the OpenGL library (libGL.so.1) itself at run time, which the
# computed list cannot see; it is the one dependency named by hand.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
include(CPack)
