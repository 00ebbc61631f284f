# Fuzzing the region file decoder and the picture header checks: a libFuzzer build with clang (scripts/test builds it
# in build/fuzz and runs it briefly over the seed corpus).
include(${CMAKE_SOURCE_DIR}/cmake/layers.cmake)
add_executable(region_data_fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/region_data_fuzz.cpp)
target_include_directories(region_data_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(region_data_fuzz PRIVATE pellform_core)
target_compile_options(pellform_core PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
target_compile_options(region_data_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
target_link_options(region_data_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
add_executable(picture_header_fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/picture_header_fuzz.cpp)
target_include_directories(picture_header_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(picture_header_fuzz PRIVATE pellform_core)
target_compile_options(picture_header_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
target_link_options(picture_header_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
