# Fuzzing the file decoder: a libFuzzer build with clang (scripts/test builds it
# in build/fuzz and runs it briefly over the seed corpus).
add_executable(region_data_fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/region_data_fuzz.cpp
    ${CMAKE_SOURCE_DIR}/region/region_rects.cpp ${CMAKE_SOURCE_DIR}/region/region_data.cpp)
target_compile_options(region_data_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
target_link_options(region_data_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
