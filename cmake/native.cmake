# Code that needs no Windows, built and tested natively.
option(PELLFORM_FUZZ "Build only the fuzz target (with clang)" OFF)
if(PELLFORM_FUZZ)
    include(${CMAKE_SOURCE_DIR}/cmake/fuzz.cmake)
    return()
endif()
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB PELLFORM_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
include(${CMAKE_SOURCE_DIR}/cmake/portable.cmake)
add_library(pellform_portable STATIC ${PELLFORM_PORTABLE_SOURCES})

add_executable(pellform_native_tests ${PELLFORM_NATIVE_TESTS})
target_link_libraries(pellform_native_tests PRIVATE pellform_portable GTest::gtest_main)
gtest_discover_tests(pellform_native_tests)

