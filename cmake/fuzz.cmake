# Fuzzing the region file decoder, the picture header checks and the union: libFuzzer builds with clang
# (scripts/test builds them in build/fuzz and runs each briefly over its seed corpus).
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
# The union against the cells its rectangles cover, and its steps against its
# bound. The check's own comparisons, a few per cell of its grid, are not traced:
# the fuzzer is guided by the union's.
add_executable(region_union_fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/region_union_fuzz.cpp)
target_include_directories(region_union_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(region_union_fuzz PRIVATE pellform_core)
target_compile_options(region_union_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
                                                 -fno-sanitize-coverage=trace-cmp)
target_link_options(region_union_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
# The search for the rectangles whose union takes the most steps against its bound.
add_executable(region_union_ratio_fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/region_union_fuzz.cpp)
target_compile_definitions(region_union_ratio_fuzz PRIVATE PELLFORM_WORST_RATIO)
target_include_directories(region_union_ratio_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(region_union_ratio_fuzz PRIVATE pellform_core)
target_compile_options(region_union_ratio_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
target_link_options(region_union_ratio_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
