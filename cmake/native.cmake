# Code that needs no Windows, built and tested natively.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB PELLFORM_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(pellform_native_tests ${PELLFORM_NATIVE_TESTS})
target_link_libraries(pellform_native_tests PRIVATE GTest::gtest_main)
gtest_discover_tests(pellform_native_tests)
