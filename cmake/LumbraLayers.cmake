# Layering enforced by the build.
#
# The sources include headers by their path from the project's root ("platform/db/table.h").
# Instead of one include path for everything, each library publishes only its own folder:
# lumbra_layer(target folder) names the folder, and lumbra_publish_layers() puts links to the
# folder's files and subfolders under a directory of the target's own in the build tree and makes
# that directory a PUBLIC include directory of the target. A subfolder that another target
# publishes is left out, so that a folder can hold the folder of a library above it (the windows
# of requirement/ in requirement/ui/) without handing its headers to the library below. A library
# then sees its own folder and the folders of what it links, and nothing else: code that reaches
# up (platform/ including a module header, the host including the add-on) does not compile.
# Tests and benchmarks, which look at everything, keep the project's root as include path.
function(lumbra_layer target folder)
    set_property(TARGET ${target} PROPERTY LUMBRA_LAYER "${folder}")
    set_property(GLOBAL APPEND PROPERTY LUMBRA_LAYERED_TARGETS ${target})
endfunction()

# Folders that several libraries share. Each library of such a folder publishes only its own
# files: its sources and the headers named like them, plus the headers no library of the folder
# has a source for (declarations of the host boundary, small inline helpers). A library that
# includes the header of a sibling it does not link then fails to compile, as it would across
# folders. A folder leaves this list when its libraries get a folder each (as requirement/ and
# requirement/ui/ did). No folder joins it.
set(LUMBRA_SHARED_FOLDERS platform/abi common printing addon host)

# The names without extension of the sources of target that lie in folder.
function(_lumbra_source_stems target folder out)
    get_target_property(sources ${target} SOURCES)
    get_target_property(sourceDir ${target} SOURCE_DIR)
    set(stems "")
    foreach(source IN LISTS sources)
        get_filename_component(path "${source}" ABSOLUTE BASE_DIR "${sourceDir}")
        get_filename_component(dir "${path}" DIRECTORY)
        if(dir STREQUAL "${CMAKE_SOURCE_DIR}/${folder}")
            get_filename_component(stem "${path}" NAME_WLE)
            list(APPEND stems "${stem}")
        endif()
    endforeach()
    set(${out} ${stems} PARENT_SCOPE)
endfunction()

# The libraries target links, directly or through what it links.
function(_lumbra_links_of target out)
    set(seen "")
    set(pending ${target})
    while(pending)
        list(POP_FRONT pending current)
        get_target_property(links ${current} LINK_LIBRARIES)
        if(NOT links)
            continue()
        endif()
        foreach(link IN LISTS links)
            if(TARGET ${link} AND NOT link IN_LIST seen)
                list(APPEND seen ${link})
                list(APPEND pending ${link})
            endif()
        endforeach()
    endwhile()
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

# Links every layered target's folder into its include directory, and stops configuring when a
# library could include the headers of another library it does not link: two libraries that
# publish the same folder, where the one does not link the other. Programs and loadable modules
# are never linked or included, so they may publish the folder of the libraries they are made of.
function(lumbra_publish_layers)
    get_property(targets GLOBAL PROPERTY LUMBRA_LAYERED_TARGETS)
    set(folders "")
    foreach(target IN LISTS targets)
        get_target_property(folder ${target} LUMBRA_LAYER)
        list(APPEND folders "${folder}")
    endforeach()

    # In a shared folder, the stems of each library's sources and of the whole folder's.
    foreach(target IN LISTS targets)
        get_target_property(folder ${target} LUMBRA_LAYER)
        if(folder IN_LIST LUMBRA_SHARED_FOLDERS)
            _lumbra_source_stems(${target} "${folder}" stems)
            set_property(TARGET ${target} PROPERTY LUMBRA_OWN_STEMS "${stems}")
            set_property(GLOBAL APPEND PROPERTY "LUMBRA_STEMS_${folder}" ${stems})
        endif()
    endforeach()

    foreach(target IN LISTS targets)
        get_target_property(folder ${target} LUMBRA_LAYER)
        set(shared FALSE)
        if(folder IN_LIST LUMBRA_SHARED_FOLDERS)
            set(shared TRUE)
            get_target_property(own ${target} LUMBRA_OWN_STEMS)
            get_property(owned GLOBAL PROPERTY "LUMBRA_STEMS_${folder}")
        endif()
        set(root "${CMAKE_BINARY_DIR}/layers/${target}")
        file(REMOVE_RECURSE "${root}") # removes the links, never what they point to
        file(MAKE_DIRECTORY "${root}/${folder}")
        file(GLOB entries LIST_DIRECTORIES true CONFIGURE_DEPENDS
             "${CMAKE_SOURCE_DIR}/${folder}/*")
        foreach(entry IN LISTS entries)
            get_filename_component(name "${entry}" NAME)
            if(IS_DIRECTORY "${entry}" AND "${folder}/${name}" IN_LIST folders)
                continue() # another library's folder
            endif()
            if(shared AND NOT IS_DIRECTORY "${entry}")
                get_filename_component(stem "${name}" NAME_WLE)
                if(stem IN_LIST owned AND NOT stem IN_LIST own)
                    continue() # a sibling library's file
                endif()
            endif()
            file(CREATE_LINK "${entry}" "${root}/${folder}/${name}" SYMBOLIC)
        endforeach()
        target_include_directories(${target} PUBLIC "$<BUILD_INTERFACE:${root}>")
    endforeach()

    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "^(STATIC|SHARED|OBJECT)_LIBRARY$")
            continue()
        endif()
        get_target_property(folder ${target} LUMBRA_LAYER)
        if(folder IN_LIST LUMBRA_SHARED_FOLDERS)
            continue() # each publishes its own files only (above)
        endif()
        _lumbra_links_of(${target} links)
        foreach(other IN LISTS targets)
            get_target_property(otherType ${other} TYPE)
            get_target_property(otherFolder ${other} LUMBRA_LAYER)
            if(other STREQUAL target OR NOT otherType MATCHES "^(STATIC|SHARED|OBJECT)_LIBRARY$"
               OR NOT otherFolder STREQUAL folder OR other IN_LIST links)
                continue()
            endif()
            message(FATAL_ERROR "${target} can include the headers of ${other} without linking it: "
                                "both publish ${folder}. Give ${other} a folder of its own "
                                "(a subfolder of ${folder} will do).")
        endforeach()
    endforeach()
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
