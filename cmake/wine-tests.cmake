# Tests that load this tree's DLL, run by ctest through wine on the run's Xvfb
# display: the i686 tree under the WoW64 Wine that scripts/install-wow64-wine
# sets up, the x86_64 tree under Debian's wine64. Each tree has its own prefix
# (Wine 10 upgrades any prefix it touches).
# scripts/env.sh names the wines; the WoW64 folder is the one it gives at the
# first configure.
execute_process(COMMAND sh -c "root=. && . scripts/env.sh && printf %s \"$PELLFORM_WOW64_WINE\""
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} OUTPUT_VARIABLE PELLFORM_WOW64_WINE_DEFAULT)
set(PELLFORM_WOW64_WINE ${PELLFORM_WOW64_WINE_DEFAULT} CACHE PATH "Folder of the WoW64 Wine (scripts/install-wow64-wine)")
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(PELLFORM_WINE_VARIABLE WINE64)
else()
    set(PELLFORM_WINE_VARIABLE WOW64_WINE_PROGRAM)
endif()
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

# GoogleTest from Debian's sources. With the -win32 thread model there is no
# std::mutex, so a custom port header supplies the one primitive gtest needs.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_include_directories(gtest BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/tests/win/gtest_port)
target_compile_options(gtest PRIVATE -Wno-error)
target_compile_options(gtest_main PRIVATE -Wno-error)
include(GoogleTest)

pellform_add_in_dll(Pellform_WA_probe ${CMAKE_SOURCE_DIR}/tests/win/probe/Pellform_WA_probe.def
    ${CMAKE_SOURCE_DIR}/tests/win/probe/editor_probe.cpp)

# What the tests and the benchmarks share: the plain reference algorithms and
# running work on the editor's thread.
add_library(pellform_test_support STATIC ${CMAKE_SOURCE_DIR}/tests/support/naive_region.cpp
    ${CMAKE_SOURCE_DIR}/tests/support/window_thread.cpp)
target_include_directories(pellform_test_support PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(pellform_test_support PUBLIC ${PELLFORM_SYSTEM_LIBS})

file(GLOB PELLFORM_WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
add_executable(pellform_win_tests ${PELLFORM_WIN_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/win/test_resources.rc)
target_include_directories(pellform_win_tests PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res ${CMAKE_SOURCE_DIR}/tests/data)
target_compile_definitions(pellform_win_tests PRIVATE PELLFORM_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
target_link_options(pellform_win_tests PRIVATE ${PELLFORM_LINK_STATIC})
target_link_libraries(pellform_win_tests PRIVATE gtest_main pellform_host pellform_platform pellform_test_support)
add_dependencies(pellform_win_tests Pellform_WA Pellform_WA_probe PellformHost pellform)

# A program with no code of ours: whether this machine runs 32-bit code at all
# (a kernel with its 32-bit emulation off faults any WoW64 process).
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    file(WRITE ${CMAKE_BINARY_DIR}/runs_32bit.c "int main(void) { return 0; }\n")
    add_executable(runs_32bit ${CMAKE_BINARY_DIR}/runs_32bit.c)
endif()

add_test(NAME wine_prefix_setup COMMAND ${CMAKE_BINARY_DIR}/wine-run --prefix start)
add_test(NAME wine_prefix_cleanup COMMAND ${CMAKE_BINARY_DIR}/wine-run --prefix stop)
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine)

# Wine 10 itself keeps one region for every shaped window shown and destroyed,
# and nine bitmaps for every load and unload of comctl32 (both measured with a
# few lines of plain Win32 and no add-in code; Wine 8 keeps neither). The leak
# checks that cross those paths cannot tell its objects from ours there, so they
# run against the x86_64 twin under wine64 only.
set(PELLFORM_WIN_TEST_FILTER "")
if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(PELLFORM_WIN_TEST_FILTER TEST_FILTER "-LeakTest.AFullCycleOfEveryCommandLeaksNothing")
endif()
gtest_discover_tests(pellform_win_tests
    ${PELLFORM_WIN_TEST_FILTER}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 300
    PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 120 RUN_SERIAL TRUE)

# The platform-free unit tests again, built by this tree's compiler: on i686 they
# check the 32-bit arithmetic (real-number formatting, region data layout) that
# the product DLL runs.
file(GLOB PELLFORM_PORTABLE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(pellform_portable_tests ${PELLFORM_PORTABLE_TEST_SOURCES})
target_include_directories(pellform_portable_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(pellform_portable_tests PRIVATE ${PELLFORM_LINK_STATIC})
target_link_libraries(pellform_portable_tests PRIVATE gtest_main pellform_core)
gtest_discover_tests(pellform_portable_tests
    TEST_PREFIX portable.
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 300
    PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 120)

# Benchmarks: built with the tests, run by bench/run, never by ctest.
add_executable(region_bench ${CMAKE_SOURCE_DIR}/bench/region_bench.cpp)
target_include_directories(region_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(region_bench PRIVATE ${PELLFORM_LINK_STATIC})
target_link_libraries(region_bench PRIVATE pellform_platform pellform_test_support)
add_dependencies(region_bench Pellform_WA_probe)
add_executable(raw_data_bench ${CMAKE_SOURCE_DIR}/bench/raw_data_bench.cpp)
target_include_directories(raw_data_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(raw_data_bench PRIVATE ${PELLFORM_LINK_STATIC})
target_link_libraries(raw_data_bench PRIVATE pellform_host pellform_platform pellform_test_support)
add_dependencies(raw_data_bench Pellform_WA_probe)
add_executable(view_bench ${CMAKE_SOURCE_DIR}/bench/view_bench.cpp)
target_include_directories(view_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(view_bench PRIVATE ${PELLFORM_LINK_STATIC})
target_link_libraries(view_bench PRIVATE pellform_host pellform_platform pellform_test_support)
add_dependencies(view_bench Pellform_WA_probe)

# The tool's exports, assembled, compiled and loaded as their users would.
add_test(NAME region_exports
    COMMAND ${CMAKE_SOURCE_DIR}/tests/export/check-export ${CMAKE_BINARY_DIR}/wine-run $<TARGET_FILE:pellform>
        ${CMAKE_C_COMPILER} ${CMAKE_SOURCE_DIR}/res/about_outline.rgn
        ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/valid_empty.rgn ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/extremes.rgn
        ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/overlapping.rgn ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/trailing.rgn
        ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/stored_header.rgn)
set_tests_properties(region_exports PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 300)

# The tool and ./pellform as a Linux shell runs them; the wrapper's own tree is build/x64.
if(CMAKE_BINARY_DIR STREQUAL "${CMAKE_SOURCE_DIR}/build/x64")
    add_test(NAME wrapper_and_linux_names COMMAND sh ${CMAKE_SOURCE_DIR}/tests/wrapper/check-wrapper.sh
        ${CMAKE_BINARY_DIR}/wine-run $<TARGET_FILE:pellform> ${CMAKE_SOURCE_DIR}/tests/data/transparent.gif)
    set_tests_properties(wrapper_and_linux_names PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 300)
endif()

# The tool's batch with each of its allocations failing in turn, in a build of
# the tool whose operator new can be told to fail.
set(PELLFORM_TOOL_COMMAND_SOURCES ${PELLFORM_TOOL_SOURCES})
list(FILTER PELLFORM_TOOL_COMMAND_SOURCES EXCLUDE REGEX "/tool/main\\.cpp$")
add_executable(batch_allocation_probe ${PELLFORM_TOOL_COMMAND_SOURCES}
    ${CMAKE_SOURCE_DIR}/tests/win/probe/batch_allocation_probe.cpp)
target_include_directories(batch_allocation_probe PRIVATE ${CMAKE_BINARY_DIR}/layers/tool)
target_link_options(batch_allocation_probe PRIVATE ${PELLFORM_LINK_STATIC})
target_link_libraries(batch_allocation_probe PRIVATE pellform_platform)
add_test(NAME tool_batch_allocation_failures COMMAND batch_allocation_probe
    ${CMAKE_SOURCE_DIR}/tests/data/transparent.gif ${CMAKE_SOURCE_DIR}/tests/data/stripes.png
    ${CMAKE_SOURCE_DIR}/tests/data/wic/rgb8.png)
set_tests_properties(tool_batch_allocation_failures PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300)
