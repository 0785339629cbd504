# One static library per layer: a subsystem's logic (tarvel_<folder>) or its
# screens (tarvel_<folder>_screens). A layer may include only its own headers
# and those of the layers it links, directly or through them; the build
# refuses any other #include before it compiles, so a dependency cannot run
# upward or sideways unnoticed.

set(TARVEL_LAYER_CHECK ${CMAKE_CURRENT_LIST_DIR}/CheckLayers.cmake)

# tarvel_layer(name USES layers...): the library of one layer. Sources are
# added with target_sources, as before.
function(tarvel_layer name)
    cmake_parse_arguments(LAYER "" "" "USES" ${ARGN})
    add_library(${name} STATIC)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${LAYER_USES})
    set_property(GLOBAL APPEND PROPERTY TARVEL_CHECKED_TARGETS ${name})
endfunction()

# Also checks a library outside src/ (the tools) against what it links.
function(tarvel_check_includes_of name)
    set_property(GLOBAL APPEND PROPERTY TARVEL_CHECKED_TARGETS ${name})
endfunction()

# The layers a target may include: itself and every tarvel_* library it
# links, directly or through another.
function(_tarvel_layers_used target out)
    set(seen ${target})
    set(queue ${target})
    while(queue)
        list(POP_FRONT queue current)
        get_target_property(links ${current} LINK_LIBRARIES)
        foreach(link IN LISTS links)
            if(link MATCHES "^tarvel_" AND TARGET ${link} AND NOT link IN_LIST seen)
                list(APPEND seen ${link})
                list(APPEND queue ${link})
            endif()
        endforeach()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Called once every target exists: gives each checked target a step, run
# before it compiles, that reads its sources' includes.
function(tarvel_check_layers)
    get_property(targets GLOBAL PROPERTY TARVEL_CHECKED_TARGETS)
    foreach(target IN LISTS targets)
        _tarvel_layers_used(${target} allowed)
        get_target_property(dir ${target} SOURCE_DIR)
        get_target_property(sources ${target} SOURCES)
        set(files)
        foreach(source IN LISTS sources)
            if(source MATCHES "\\.(cpp|h)$")
                cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${dir} OUTPUT_VARIABLE path)
                list(APPEND files ${path})
            endif()
        endforeach()
        set(list_file ${PROJECT_BINARY_DIR}/layers/${target}.cmake)
        file(WRITE ${list_file} "set(LAYER ${target})\nset(ALLOWED ${allowed})\nset(FILES ${files})\n")
        set(stamp ${PROJECT_BINARY_DIR}/layers/${target}.checked)
        add_custom_command(OUTPUT ${stamp}
            COMMAND ${CMAKE_COMMAND} -DLAYER_FILE=${list_file} -DSOURCE_ROOT=${PROJECT_SOURCE_DIR}/src
                    -DSTAMP=${stamp} -P ${TARVEL_LAYER_CHECK}
            DEPENDS ${files} ${list_file} ${TARVEL_LAYER_CHECK}
            COMMENT "Checking the includes of ${target} against its layers" VERBATIM)
        add_custom_target(${target}_layers DEPENDS ${stamp})
        add_dependencies(${target} ${target}_layers)
    endforeach()
endfunction()
