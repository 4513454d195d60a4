# The test suite's throwaway PostgreSQL server: started before the first test that needs it and
# stopped after the last (ctest fixtures), in the build directory, on a free loopback port.
set(LUMBRA_TEST_SERVER_DIR ${CMAKE_BINARY_DIR}/test-server)
add_test(NAME lumbra_test_server_start
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/test-server.sh start ${LUMBRA_TEST_SERVER_DIR})
add_test(NAME lumbra_test_server_stop
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/test-server.sh stop ${LUMBRA_TEST_SERVER_DIR})
set_tests_properties(lumbra_test_server_start PROPERTIES FIXTURES_SETUP lumbra_test_server)
set_tests_properties(lumbra_test_server_stop PROPERTIES FIXTURES_CLEANUP lumbra_test_server)

# Registers a GoogleTest program a second time, its tests named "postgres/<Suite>.<Test>",
# with its companies on the test server. Extra arguments go to gtest_discover_tests.
function(lumbra_discover_tests_on_server target)
    gtest_discover_tests(${target} TEST_PREFIX "postgres/" NO_PRETTY_VALUES ${ARGN}
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                   ENVIRONMENT_MODIFICATION "LUMBRA_TEST_SERVER=set:${LUMBRA_TEST_SERVER_DIR}/location"
                   FIXTURES_REQUIRED lumbra_test_server)
endfunction()
