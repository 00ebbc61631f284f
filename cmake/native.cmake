# Code that needs no Windows, built and tested natively: the core's unit
# tests, and the command-line tool with the POSIX platform pieces and the
# distribution's picture libraries.
option(PELLFORM_FUZZ "Build only the fuzz target (with clang)" OFF)
if(PELLFORM_FUZZ)
    include(${CMAKE_SOURCE_DIR}/cmake/fuzz.cmake)
    return()
endif()
include(${CMAKE_SOURCE_DIR}/cmake/layers.cmake)

# PNG reading and writing, GIF, JPEG and TIFF: Debian's -dev packages.
find_package(PNG REQUIRED)
find_package(GIF REQUIRED)
find_package(JPEG REQUIRED)
find_package(TIFF REQUIRED)

# The POSIX pieces implement the platform headers that name no Windows type.
set(PELLFORM_PLATFORM_INTERFACES platform/native_path.h platform/picture_decoding.h platform/png_file.h
    platform/tool_files.h)
pellform_layer_files(PELLFORM_POSIX posix)
pellform_layer_view(posix ${PELLFORM_CORE_HEADERS} ${PELLFORM_PLATFORM_INTERFACES})
pellform_layer(pellform_posix STATIC posix SOURCES ${PELLFORM_POSIX_SOURCES} BELOW pellform_core)
target_link_libraries(pellform_posix PUBLIC PNG::PNG GIF::GIF JPEG::JPEG TIFF::TIFF)

pellform_layer_view(tool ${PELLFORM_CORE_HEADERS} ${PELLFORM_PLATFORM_INTERFACES} ${PELLFORM_TOOL_HEADERS})
list(TRANSFORM PELLFORM_TOOL_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
add_executable(pellform ${PELLFORM_TOOL_SOURCES})
target_include_directories(pellform PRIVATE ${CMAKE_BINARY_DIR}/layers/tool)
target_link_libraries(pellform PRIVATE pellform_posix)

# The wrapper builds the tool alone, with no GoogleTest (scripts/build tool).
option(PELLFORM_NATIVE_TESTS "Build the unit tests" ON)
if(NOT PELLFORM_NATIVE_TESTS)
    return()
endif()
find_package(GTest REQUIRED)
include(GoogleTest)
file(GLOB PELLFORM_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(pellform_native_tests ${PELLFORM_NATIVE_TESTS})
target_include_directories(pellform_native_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(pellform_native_tests PRIVATE pellform_core GTest::gtest_main)
target_compile_definitions(pellform_native_tests PRIVATE PELLFORM_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
# A union caught in an endless loop fails its test in a minute.
gtest_discover_tests(pellform_native_tests PROPERTIES TIMEOUT 60)
