# Shared settings for the project's own targets: warnings as errors, static Windows programs,
# and the test helpers.

# Compile options for code of ours (never for third-party code).
function(zor_strict target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    if(WIN32)
        target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                   _WIN32_WINNT=0x0601)
    endif()
endfunction()

if(WIN32)
    # Without -static a missing runtime DLL makes Wine exit silently with 53.
    add_link_options(-static -static-libgcc -static-libstdc++)
    set(ZLIB_USE_STATIC_LIBS ON)
    find_package(ZLIB REQUIRED)
    find_package(expat 2.5 REQUIRED CONFIG)
    set(ZOR_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZOR_EMULATOR})
endif()

# A GoogleTest program of ours. Windows test programs run under Wine through the emulator;
# the test list is read from the program just before the tests run.
function(zor_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    zor_strict(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    if(WIN32)
        target_link_options(${name} PRIVATE -mconsole)
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
                         PROPERTIES TIMEOUT 120 ${ARG_PROPERTIES})
endfunction()
