# Configures and builds the small project of this folder with one layout and checks that the
# layer check accepts or refuses it as EXPECT says:
#   builds      configuring and building succeed
#   refused     configuring stops with the layer check's message
#   unbuildable configuring succeeds and building fails (a header the library may not see,
#               HIDDEN, lib/ui/window.h unless given)
# cmake -DLAYOUT=... -DEXPECT=... -DLUMBRA_LAYERS=... -DWORK=... [-DHIDDEN=...] -P run_case.cmake
if(NOT DEFINED HIDDEN OR HIDDEN STREQUAL "")
    set(HIDDEN lib/ui/window.h)
endif()
file(REMOVE_RECURSE "${WORK}")
execute_process(
    COMMAND "${CMAKE_COMMAND}" -S "${CMAKE_CURRENT_LIST_DIR}/project" -B "${WORK}"
            -G Ninja -DLAYOUT=${LAYOUT} -DLUMBRA_LAYERS=${LUMBRA_LAYERS}
    RESULT_VARIABLE configured OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(EXPECT STREQUAL "refused")
    if(configured EQUAL 0)
        message(FATAL_ERROR "${LAYOUT}: the layer check let it through")
    endif()
    if(NOT err MATCHES "can include the headers of")
        message(FATAL_ERROR "${LAYOUT}: configuring failed for another reason:\n${err}")
    endif()
    return()
endif()
if(NOT configured EQUAL 0)
    message(FATAL_ERROR "${LAYOUT}: configuring failed:\n${out}\n${err}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK}"
                RESULT_VARIABLE built OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(EXPECT STREQUAL "builds" AND NOT built EQUAL 0)
    message(FATAL_ERROR "${LAYOUT}: building failed:\n${out}\n${err}")
endif()
if(EXPECT STREQUAL "unbuildable")
    if(built EQUAL 0)
        message(FATAL_ERROR "${LAYOUT}: a library included a header it may not see")
    endif()
    if(NOT out MATCHES "${HIDDEN}")
        message(FATAL_ERROR "${LAYOUT}: building failed for another reason:\n${out}\n${err}")
    endif()
endif()
