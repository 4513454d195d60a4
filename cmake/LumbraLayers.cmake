# Layering enforced by the build.
#
# The sources include headers by their path from the project's root ("platform/db/table.h").
# Instead of one include path for everything, each library publishes only its own folder:
# lumbra_layer(target folder) puts a link to <folder> under a directory of the target's own in
# the build tree and makes that directory a PUBLIC include directory of the target. A library
# then sees its own folder and the folders of what it links, and nothing else: code that reaches
# up (platform/ including a module header, the host including the add-on) does not compile.
# Tests and benchmarks, which look at everything, keep the project's root as include path.
function(lumbra_layer target folder)
    set(root "${CMAKE_BINARY_DIR}/layers/${target}")
    get_filename_component(parent "${root}/${folder}" DIRECTORY)
    file(MAKE_DIRECTORY "${parent}")
    file(CREATE_LINK "${CMAKE_SOURCE_DIR}/${folder}" "${root}/${folder}" SYMBOLIC)
    target_include_directories(${target} PUBLIC "$<BUILD_INTERFACE:${root}>")
    set_property(TARGET ${target} PROPERTY LUMBRA_LAYER "${folder}")
endfunction()

# Every library and program of the project's own folders must have its layer; configuring
# stops, naming the ones that have none.
function(lumbra_check_layers directory)
    get_property(targets DIRECTORY "${directory}" PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(layer ${target} LUMBRA_LAYER)
        if(type MATCHES "LIBRARY|EXECUTABLE" AND NOT type STREQUAL "INTERFACE_LIBRARY" AND NOT layer)
            message(FATAL_ERROR "${target} (${directory}) has no layer: add lumbra_layer(${target} <folder>) to the top CMakeLists.txt")
        endif()
    endforeach()
    get_property(subdirectories DIRECTORY "${directory}" PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirectories)
        if(NOT sub MATCHES "/(tests|bench)(/|$)")
            lumbra_check_layers("${sub}")
        endif()
    endforeach()
endfunction()
