# Code that needs no Windows, built and tested natively.
option(PELLFORM_FUZZ "Build only the fuzz target (with clang)" OFF)
if(PELLFORM_FUZZ)
    include(${CMAKE_SOURCE_DIR}/cmake/fuzz.cmake)
    return()
endif()
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB PELLFORM_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
# The platform-free code, shared with the DLL.
add_library(pellform_portable STATIC ${CMAKE_SOURCE_DIR}/region/region_rects.cpp ${CMAKE_SOURCE_DIR}/region/region_data.cpp
    ${CMAKE_SOURCE_DIR}/cli/region_export.cpp
    ${CMAKE_SOURCE_DIR}/about/format_real.cpp)

add_executable(pellform_native_tests ${PELLFORM_NATIVE_TESTS})
target_link_libraries(pellform_native_tests PRIVATE pellform_portable GTest::gtest_main)
gtest_discover_tests(pellform_native_tests)

