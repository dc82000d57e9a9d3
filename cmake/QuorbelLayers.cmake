# The layers of src/ are static libraries whose headers are included by their folder's name
# ("formats/level_file.h"). A library's include root is a folder of the build tree holding only a
# link to the library's own folder, and only the targets that link the library get it: a target
# that includes a header of a layer it does not link (a lower layer reaching up) fails to build.

# quorbel_layer(TARGET SOURCE...): the library of the current folder.
function(quorbel_layer target)
    add_library(${target} STATIC ${ARGN})
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(root ${PROJECT_BINARY_DIR}/include/${target})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PRIVATE quorbel_warnings)
endfunction()
