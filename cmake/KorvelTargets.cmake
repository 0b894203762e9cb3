# Build settings shared by every folder: where deliverables and tools are collected,
# the warning level, and the static runtime that keeps deliverables importing only
# Windows' own DLLs.

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    set(KORVEL_WINDOWS ON)
else()
    set(KORVEL_WINDOWS OFF)
endif()

set(KORVEL_DIST_DIR "${CMAKE_BINARY_DIR}/dist")

# The version and release date, read from the header that the version resources
# include, so that the driver package and the release archives cannot disagree.
foreach(field VERSION_TEXT RELEASE_DATE)
    file(STRINGS "${PROJECT_SOURCE_DIR}/shared/version.h" line REGEX "^#define KORVEL_${field} \"")
    string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" KORVEL_${field} "${line}")
endforeach()
set(KORVEL_VERSION "${KORVEL_VERSION_TEXT}")
string(REGEX REPLACE "^([0-9]+)/([0-9]+)/([0-9]+)$" "\\3-\\1-\\2" KORVEL_RELEASE_DAY "${KORVEL_RELEASE_DATE}")
# The shipped files' time stamps are the release day's, so a rebuild gives the same bytes.
execute_process(COMMAND date -u -d "${KORVEL_RELEASE_DAY}" +%s
    OUTPUT_VARIABLE KORVEL_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/shared/version.h")
set(KORVEL_TOOLS_DIR "${CMAKE_BINARY_DIR}/tools")
file(MAKE_DIRECTORY "${KORVEL_DIST_DIR}" "${KORVEL_TOOLS_DIR}")

if(MSVC)
    add_compile_options(/W4)
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
else()
    add_compile_options(-Wall -Wextra)
endif()

if(KORVEL_WINDOWS AND NOT MSVC)
    # Small utilities are built for size; each function and datum in its own section
    # lets the linker drop what the program does not reach.
    add_compile_options(-Os -ffunction-sections -fdata-sections)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        # i686 Windows unwinds along the stack frames; the DWARF tables serve only
        # C++ exceptions. x86_64 Windows needs its unwind tables for every function.
        add_compile_options(-fno-asynchronous-unwind-tables)
    endif()
    # Nothing the programs run throws, and an exception must never cross a Win32
    # callback: without them the C++ runtime's unwinder and demangler stay out.
    add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions> $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
    if(NOT KORVEL_STRIP)
        set(KORVEL_STRIP strip)
    endif()
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

# Static libgcc and libstdc++: what a user installs is the file alone.
function(korvel_static_runtime target)
    if(NOT MSVC)
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    endif()
endfunction()

# A program or library that a user installs: collected in dist/, checked by the PE tests.
# With MinGW the build tree keeps the linked file with its symbols for debugging, and
# dist/ gets the stripped copy that ships.
function(korvel_deliverable target)
    korvel_static_runtime(${target})
    target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}")
    set_property(GLOBAL APPEND PROPERTY KORVEL_DELIVERABLES ${target})
    if(MSVC)
        set_target_properties(${target} PROPERTIES
            RUNTIME_OUTPUT_DIRECTORY "${KORVEL_DIST_DIR}"
            LIBRARY_OUTPUT_DIRECTORY "${KORVEL_DIST_DIR}")
        return()
    endif()
    set_target_properties(${target} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/symbols"
        LIBRARY_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/symbols")
    # Windows 2000 refuses images that ask for a newer subsystem.
    # No link time in the header: the same sources give the same bytes.
    target_link_options(${target} PRIVATE -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,0
        -Wl,--major-os-version,5 -Wl,--minor-os-version,0 -Wl,--gc-sections -Wl,--no-insert-timestamp)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KORVEL_RELEASE_EPOCH} "${KORVEL_STRIP}" --strip-all -o "${KORVEL_DIST_DIR}/$<TARGET_FILE_NAME:${target}>"
            "$<TARGET_FILE:${target}>"
        VERBATIM)
endfunction()

# A program used only by tests, the demo and benchmarks: collected in tools/.
function(korvel_tool target)
    korvel_static_runtime(${target})
    target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}")
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${KORVEL_TOOLS_DIR}")
endfunction()
