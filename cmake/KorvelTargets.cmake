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
        # Windows 2000 and XP run on Pentium-class CPUs without CMOV (Vortex86, Geode GX,
        # VIA C3, K6-2), not only on the Pentium Pro that the compilers target by default.
        # The runtime pieces that Debian builds for the Pentium Pro are replaced (runtime/).
        add_compile_options(-march=i586)
        set(KORVEL_PENTIUM_RUNTIME ON)
        set(KORVEL_START_DIR "${CMAKE_BINARY_DIR}/pentium-start")
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

# For a program or library that must run on a Pentium (i686): the start-up and the
# relocator of our own (runtime/) in the place of MinGW-w64's. Ours has nothing to
# relocate only as long as the linker writes no pseudo-relocations: no auto-import.
function(korvel_pentium_runtime target)
    if(NOT KORVEL_PENTIUM_RUNTIME)
        return()
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        add_dependencies(${target} korvel_crt2)
        target_link_options(${target} PRIVATE "-B${KORVEL_START_DIR}/")
        set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${KORVEL_START_DIR}/crt2.o")
    endif()
    target_link_libraries(${target} PRIVATE korvel_no_pseudo_relocs)
    target_link_options(${target} PRIVATE -Wl,--disable-auto-import)
endfunction()

# A program or library that a user installs: collected in dist/, checked by the PE tests.
# With MinGW the build tree keeps the linked file with its symbols for debugging, and
# dist/ gets the stripped copy that ships.
function(korvel_deliverable target)
    korvel_static_runtime(${target})
    korvel_pentium_runtime(${target})
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
    # Windows refuses images that ask for a newer subsystem than its own: 5.0 is Windows
    # 2000, 5.2 the first 64-bit XP (tests/pe checks both).
    # No link time in the header: the same sources give the same bytes.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(minor 2)
    else()
        set(minor 0)
    endif()
    target_link_options(${target} PRIVATE -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,${minor}
        -Wl,--major-os-version,5 -Wl,--minor-os-version,${minor} -Wl,--gc-sections -Wl,--no-insert-timestamp)
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
