# `cmake --build build --target package` makes a Debian package of what `cmake --install` puts
# in place, installed under /usr. dpkg-shlibdeps (dpkg-dev) works out the shared-library
# dependencies; the window program also needs packages that it loads as plug-ins.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorbel-map-maker)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quorbel Map Maker developers")
set(CPACK_PACKAGE_CONTACT ${QUORBEL_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_DESCRIPTION
    "Paint a map as a monochrome BMP picture: every dark pixel becomes one tile
of a level. The window program quorbel-mapmaker and the command-line tool
quorbel-lvl write level files (.lvl) over a tileset. quorbel-lvl also prepares
pictures from any drawing, describes level files, draws their maps as
pictures, composes levels of many tiles from one picture per tile and splits
them again, and exchanges levels with the map editor Tiled. A sample tileset
and map are included.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(QUORBEL_BUILD_UI)
    # The window needs a platform plug-in to open, and reads its SVG icons through a plug-in.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
endif()
include(CPack)
