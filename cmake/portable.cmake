# The platform-free code shared with the DLL: unit-tested natively and, built by
# each Windows compiler, again under wine.
set(PELLFORM_PORTABLE_SOURCES ${CMAKE_SOURCE_DIR}/region/region_rects.cpp ${CMAKE_SOURCE_DIR}/region/region_data.cpp
    ${CMAKE_SOURCE_DIR}/about/format_real.cpp ${CMAKE_SOURCE_DIR}/cli/region_export.cpp)
