# Shared libraries on the host boundary.
#
# A library that the host loads (the add-on, a test plugin) or that host and add-on share (the
# memory manager) exports only its entry points:
#   - its own code is compiled with hidden visibility (-fvisibility=hidden,
#     -fvisibility-inlines-hidden), entry points being marked LUMBRA_EXPORT
#     (platform/abi/export.h);
#   - the static platform libraries it links (lumbra_base, lumbra_db, lumbra_ui, ...) are pulled
#     in with -Wl,--exclude-libs,ALL, which makes every symbol taken from an archive local to
#     the library, whatever visibility that archive was compiled with;
#   - a linker version script names what stays global and makes everything else local. It is
#     needed besides the visibility settings: instantiations of standard-library templates
#     (std::min<unsigned long>, say) and compiler-made type information keep default visibility
#     whatever -fvisibility says.
# Each side therefore keeps its own copies of the platform's module-wide values (its own
# Application and Screen, for one): nothing in the library binds to the host's copies, nor the
# host's to the library's. Shared libraries (Qt, libstdc++, lumbra_memmgr) stay shared.
#
#   add_library(lumbra MODULE addon/entry_points.cpp ...)
#   lumbra_boundary_library(lumbra EXPORTS InitAddOnDLL ClearAddOnDLL ...)
#   target_link_libraries(lumbra PRIVATE lumbra_abi lumbra_ui ...)

# Compiles a target's own code with hidden visibility.
function(lumbra_hide_symbols target)
    set_target_properties(${target} PROPERTIES
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# Makes a SHARED or MODULE library export only what the version script allows:
#   EXPORTS name...        the C names of its entry points, or
#   VERSION_SCRIPT file    a hand-written script (for C++ names).
function(lumbra_boundary_library target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "VERSION_SCRIPT" "EXPORTS")
    lumbra_hide_symbols(${target})
    target_link_options(${target} PRIVATE "LINKER:--exclude-libs,ALL")
    if(arg_EXPORTS)
        list(JOIN arg_EXPORTS ";\n        " names)
        set(script "${CMAKE_CURRENT_BINARY_DIR}/${target}.map")
        file(CONFIGURE OUTPUT "${script}" @ONLY
             CONTENT "{\n    global:\n        ${names};\n    local:\n        *;\n};\n")
    elseif(arg_VERSION_SCRIPT)
        get_filename_component(script "${arg_VERSION_SCRIPT}" ABSOLUTE)
    else()
        message(FATAL_ERROR "lumbra_boundary_library(${target}): give EXPORTS or VERSION_SCRIPT")
    endif()
    target_link_options(${target} PRIVATE "LINKER:--version-script=${script}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${script}")
endfunction()
