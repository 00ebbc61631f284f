# The add-in DLL, the stand-in host and the tests that run them under wine.
enable_language(RC)

set(PELLFORM_LINK_STATIC -static -static-libgcc -static-libstdc++)
set(PELLFORM_SYSTEM_LIBS comctl32 comdlg32 gdi32 user32 ole32 oleaut32 uuid advapi32 shell32 kernel32)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

file(GLOB PELLFORM_RESOURCE_FILES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/res/*.h ${CMAKE_SOURCE_DIR}/res/icons/*.ico ${CMAKE_SOURCE_DIR}/res/*.gif
    ${CMAKE_SOURCE_DIR}/res/*.rgn ${CMAKE_SOURCE_DIR}/res/*.txt ${CMAKE_SOURCE_DIR}/res/*.manifest)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/pellform.rc PROPERTIES OBJECT_DEPENDS "${PELLFORM_RESOURCE_FILES}")

include(${CMAKE_SOURCE_DIR}/cmake/layers.cmake)

# Compiled once; linked into the product and, in the test tree, into a probe
# variant that also exports the editor state.
function(pellform_add_in_dll name def)
    add_library(${name} SHARED $<TARGET_OBJECTS:pellform_addin> $<TARGET_OBJECTS:pellform_ui> ${def} ${ARGN})
    set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
    target_link_options(${name} PRIVATE ${PELLFORM_LINK_STATIC} -Wl,--enable-stdcall-fixup)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE pellform_platform)
endfunction()

pellform_add_in_dll(Pellform_WA ${CMAKE_SOURCE_DIR}/addin/Pellform_WA.def)

# The stand-in host: a library the tests drive in-process, and the program.
add_library(pellform_host STATIC ${CMAKE_SOURCE_DIR}/host/stand_in_host.cpp)
target_include_directories(pellform_host PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(pellform_host PUBLIC ${PELLFORM_SYSTEM_LIBS})
add_executable(PellformHost WIN32 ${CMAKE_SOURCE_DIR}/host/main.cpp)
target_link_options(PellformHost PRIVATE ${PELLFORM_LINK_STATIC})
target_link_libraries(PellformHost PRIVATE pellform_host)

# The command-line region builder: the add-in's own picture, region and file code.
list(TRANSFORM PELLFORM_TOOL_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
add_executable(pellform ${PELLFORM_TOOL_SOURCES})
target_include_directories(pellform PRIVATE ${CMAKE_BINARY_DIR}/layers/tool)
# wmain: the arguments as UTF-16, so a file name outside the code page arrives whole.
target_link_options(pellform PRIVATE ${PELLFORM_LINK_STATIC} -municode)
target_link_libraries(pellform PRIVATE pellform_platform)

# Every Windows build checks its own DLL's exports and imports.
add_test(NAME dll_exports_and_imports
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-dll ${PELLFORM_OBJDUMP} $<TARGET_FILE:Pellform_WA>)

# The wine tests and benchmarks need GoogleTest's sources; the wrapper's tool
# runs configure without them (scripts/build tool).
option(PELLFORM_WINE_TESTS "Build the wine tests and the benchmarks" ON)
if(PELLFORM_WINE_TESTS)
    include(${CMAKE_SOURCE_DIR}/cmake/wine-tests.cmake)
endif()
