# Build settings shared by every folder: where deliverables and tools are collected,
# the warning level, and the static runtime that keeps deliverables importing only
# Windows' own DLLs.

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    set(KORVEL_WINDOWS ON)
else()
    set(KORVEL_WINDOWS OFF)
endif()

set(KORVEL_DIST_DIR "${CMAKE_BINARY_DIR}/dist")
set(KORVEL_TOOLS_DIR "${CMAKE_BINARY_DIR}/tools")
file(MAKE_DIRECTORY "${KORVEL_DIST_DIR}" "${KORVEL_TOOLS_DIR}")

if(MSVC)
    add_compile_options(/W4)
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
else()
    add_compile_options(-Wall -Wextra)
endif()

if(KORVEL_WINDOWS)
    # Windows 2000 is the oldest system the programs load on.
    add_compile_definitions(WINVER=0x0500 _WIN32_WINNT=0x0500 _WIN32_IE=0x0500)
endif()

# Deliverables and test programs record themselves here so that the PE checks and
# the host tests find them without a list kept by hand.
define_property(GLOBAL PROPERTY KORVEL_DELIVERABLES BRIEF_DOCS "deliverable targets" FULL_DOCS "deliverable targets")
define_property(GLOBAL PROPERTY KORVEL_LOGIC_LIBRARIES BRIEF_DOCS "pure logic libraries" FULL_DOCS "pure logic libraries")

# A library of pure logic (no <windows.h>), compiled for the host tests and into the
# deliverables alike.
function(korvel_logic_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    set_property(GLOBAL APPEND PROPERTY KORVEL_LOGIC_LIBRARIES ${name})
endfunction()

# Static libgcc/libstdc++/winpthread: what a user installs is the file alone.
function(korvel_static_runtime target)
    if(NOT MSVC)
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    endif()
endfunction()

# A program or library that a user installs: collected in dist/, checked by the PE tests.
function(korvel_deliverable target)
    korvel_static_runtime(${target})
    target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}")
    set_target_properties(${target} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY "${KORVEL_DIST_DIR}"
        LIBRARY_OUTPUT_DIRECTORY "${KORVEL_DIST_DIR}")
    # Windows 2000 refuses images that ask for a newer subsystem.
    if(NOT MSVC)
        target_link_options(${target} PRIVATE -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,0
            -Wl,--major-os-version,5 -Wl,--minor-os-version,0)
    endif()
    set_property(GLOBAL APPEND PROPERTY KORVEL_DELIVERABLES ${target})
endfunction()

# A program used only by tests, the demo and benchmarks: collected in tools/.
function(korvel_tool target)
    korvel_static_runtime(${target})
    target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}")
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${KORVEL_TOOLS_DIR}")
endfunction()
