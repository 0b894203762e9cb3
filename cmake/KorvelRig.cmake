# The Wine rig as a ctest fixture: every Windows-side test runs inside a free lane of
# this build tree's rig (a prefix with the simulated driver started), taken for its
# run, so that as many run side by side as there are lanes; the last test takes the
# rig down.
# On a host that cannot run this architecture's programs every one of them ends with
# the rig's skip status, which ctest reports as skipped.

# The rig picks the prefix, loader and server by the architecture of the tree.
file(WRITE "${CMAKE_BINARY_DIR}/rig/arch" "${CMAKE_SYSTEM_PROCESSOR}\n")
set(KORVEL_RIG_SKIP 77)

configure_file("${PROJECT_SOURCE_DIR}/cmake/wine-emulator.in" "${CMAKE_BINARY_DIR}/rig/wine-emulator"
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/rig/wine-emulator")

add_test(NAME rig_up COMMAND "${PROJECT_SOURCE_DIR}/scripts/rig" up "${CMAKE_BINARY_DIR}")
set_tests_properties(rig_up PROPERTIES FIXTURES_SETUP wine_rig TIMEOUT 300 SKIP_RETURN_CODE ${KORVEL_RIG_SKIP})
add_test(NAME rig_down COMMAND "${PROJECT_SOURCE_DIR}/scripts/rig" down "${CMAKE_BINARY_DIR}")
set_tests_properties(rig_down PROPERTIES FIXTURES_CLEANUP wine_rig)

# A Windows test program, run under Wine by ctest through the emulator.
function(korvel_wine_test name target)
    add_test(NAME ${name} COMMAND ${target} ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_rig
        SKIP_RETURN_CODE ${KORVEL_RIG_SKIP})
endfunction()

# A shell-driven end-to-end test; it finds the rig through the build tree it is given.
function(korvel_e2e_test name script)
    add_test(NAME ${name} COMMAND bash "${script}" "${CMAKE_BINARY_DIR}" ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_rig TIMEOUT 300
        SKIP_RETURN_CODE ${KORVEL_RIG_SKIP})
endfunction()
