# Installs the build under /usr into a scratch root (DESTDIR) and checks that exactly the
# expected files land there, that the icons have their sizes, and that the installed tool runs
# on the installed samples.
# Variables: BUILD_DIR, ROOT (the scratch root), VERSION, BUILD_UI, BUILD_RENDER, WITH_WINDOW,
# ICON_SIZES (sizes separated by commas), MAN_DIR (where the manual pages were made; empty when
# they are not).
file(REMOVE_RECURSE ${ROOT})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${ROOT}
        ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

string(REPLACE "," ";" sizes "${ICON_SIZES}")
set(expected
    usr/bin/quorbel-lvl
    usr/share/bash-completion/completions/quorbel-lvl
    usr/share/doc/quorbel-map-maker/changelog.gz
    usr/share/doc/quorbel-map-maker/copyright
    usr/share/lintian/overrides/quorbel-map-maker
    usr/share/quorbel-map-maker/samples/sample-coins.bmp
    usr/share/quorbel-map-maker/samples/sample-drawing.png
    usr/share/quorbel-map-maker/samples/sample-map.bmp
    usr/share/quorbel-map-maker/samples/sample-palette.gpl
    usr/share/quorbel-map-maker/samples/sample-rules.txt
    usr/share/quorbel-map-maker/samples/sample-tileset.bmp
    usr/share/quorbel-map-maker/tiled/quorbel-level.js)
if(MAN_DIR)
    file(GLOB pages RELATIVE ${MAN_DIR} ${MAN_DIR}/quorbel-lvl*.1.gz)
    foreach(page IN LISTS pages)
        list(APPEND expected usr/share/man/man1/${page})
    endforeach()
    if(BUILD_UI)
        list(APPEND expected usr/share/man/man1/quorbel-mapmaker.1.gz)
    endif()
endif()
if(BUILD_RENDER)
    list(APPEND expected usr/libexec/quorbel-map-maker/quorbel-lvl-render)
endif()
if(BUILD_UI)
    list(APPEND expected
        usr/share/applications/org.quorbel.MapMaker.desktop
        usr/share/metainfo/org.quorbel.MapMaker.metainfo.xml
        usr/share/icons/hicolor/scalable/apps/quorbel-mapmaker.svg)
    foreach(size IN LISTS sizes)
        list(APPEND expected usr/share/icons/hicolor/${size}x${size}/apps/quorbel-mapmaker.png)
    endforeach()
endif()
if(WITH_WINDOW)
    list(APPEND expected usr/bin/quorbel-mapmaker)
endif()

file(GLOB_RECURSE installed RELATIVE ${ROOT} ${ROOT}/*)
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
    string(REPLACE ";" "\n  " installed_lines "${installed}")
    string(REPLACE ";" "\n  " expected_lines "${expected}")
    message(FATAL_ERROR "installed:\n  ${installed_lines}\nexpected:\n  ${expected_lines}")
endif()

# A PNG's width and height are 32-bit big-endian numbers at bytes 16..23.
if(BUILD_UI)
    foreach(size IN LISTS sizes)
        set(png ${ROOT}/usr/share/icons/hicolor/${size}x${size}/apps/quorbel-mapmaker.png)
        file(READ ${png} signature LIMIT 4 HEX)
        file(READ ${png} dimensions OFFSET 16 LIMIT 8 HEX)
        math(EXPR side "${size}" OUTPUT_FORMAT HEXADECIMAL)
        string(REPLACE "0x" "" side "${side}")
        string(LENGTH "${side}" digits)
        math(EXPR pad "8 - ${digits}")
        string(REPEAT "0" ${pad} zeros)
        string(TOLOWER "${zeros}${side}${zeros}${side}" wanted)
        if(NOT signature STREQUAL "89504e47" OR NOT dimensions STREQUAL wanted)
            message(FATAL_ERROR "${png}: not a ${size} x ${size} PNG (${signature} ${dimensions})")
        endif()
    endforeach()
endif()

set(tool ${ROOT}/usr/bin/quorbel-lvl)
set(samples ${ROOT}/usr/share/quorbel-map-maker/samples)
execute_process(COMMAND ${tool} --version OUTPUT_VARIABLE version RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT version STREQUAL "quorbel-lvl ${VERSION}\n")
    message(FATAL_ERROR "installed quorbel-lvl --version: ${result} '${version}'")
endif()
execute_process(
    COMMAND ${tool} convert ${samples}/sample-tileset.bmp ${samples}/sample-map.bmp
        ${ROOT}/sample.lvl
    COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET ERROR_QUIET)
if(BUILD_RENDER)
    execute_process(COMMAND ${tool} render ${ROOT}/sample.lvl -o ${ROOT}/sample.png
        COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)
    execute_process(
        COMMAND ${tool} paint --quiet --rules ${samples}/sample-rules.txt
            ${samples}/sample-tileset.bmp ${samples}/sample-palette.gpl
            ${samples}/sample-drawing.png ${ROOT}/painted.lvl
        COMMAND_ERROR_IS_FATAL ANY ERROR_VARIABLE painted)
    if(NOT painted STREQUAL "")
        message(FATAL_ERROR "installed quorbel-lvl paint of the samples warned:\n${painted}")
    endif()
endif()
list(LENGTH installed count)
message(STATUS "${count} files installed as expected")
