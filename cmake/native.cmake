# Code that needs no Windows, built and tested natively.
option(PELLFORM_FUZZ "Build only the fuzz target (with clang)" OFF)
if(PELLFORM_FUZZ)
    include(${CMAKE_SOURCE_DIR}/cmake/fuzz.cmake)
    return()
endif()
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB PELLFORM_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
include(${CMAKE_SOURCE_DIR}/cmake/layers.cmake)

add_executable(pellform_native_tests ${PELLFORM_NATIVE_TESTS})
target_include_directories(pellform_native_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(pellform_native_tests PRIVATE pellform_core GTest::gtest_main)
# A union caught in an endless loop fails its test in a minute.
gtest_discover_tests(pellform_native_tests PROPERTIES TIMEOUT 60)

