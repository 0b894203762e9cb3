# GoogleTest from Debian's sources, built with whichever toolchain configures us.
set(KORVEL_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources")
if(NOT EXISTS "${KORVEL_GTEST_SOURCE}/CMakeLists.txt")
    message(FATAL_ERROR "GoogleTest sources not found in ${KORVEL_GTEST_SOURCE}; run scripts/bootstrap")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory("${KORVEL_GTEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)

# korvel_posix_threads(target...): compile and link with the posix-thread-model
# compiler that the Windows toolchains name (GoogleTest needs std::mutex). Only test
# code takes it: the libraries these targets link stay compiled for the win32 model,
# exactly as they ship. GoogleTest reports through exceptions and type names, which
# the tree's own code goes without.
function(korvel_posix_threads)
    if(KORVEL_POSIX_CXX)
        foreach(target IN LISTS ARGN)
            target_compile_options(${target} PRIVATE -fexceptions -frtti)
        endforeach()
        set_target_properties(${ARGN} PROPERTIES
            CXX_COMPILER_LAUNCHER "${PROJECT_SOURCE_DIR}/cmake/with-compiler;${KORVEL_POSIX_CXX}"
            CXX_LINKER_LAUNCHER "${PROJECT_SOURCE_DIR}/cmake/with-compiler;${KORVEL_POSIX_CXX}")
    endif()
endfunction()
korvel_posix_threads(gtest gtest_main)
