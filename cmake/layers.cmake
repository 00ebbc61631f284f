# The code in layers that only point down: a platform-free core, the Windows
# pieces, the windows and dialogs, and the add-in's exports. Each layer is a
# target compiled against a folder of links to its own headers and those of
# the layers below it, and nothing else, so including a header from a layer
# above does not compile.
# A layer is its folders: every header and source below them belongs to it.
function(pellform_layer_files prefix)
    set(headers)
    set(sources)
    foreach(folder ${ARGN})
        file(GLOB_RECURSE found_headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/${folder}/*.h)
        file(GLOB_RECURSE found_sources CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
        list(APPEND headers ${found_headers})
        list(APPEND sources ${found_sources})
    endforeach()
    set(${prefix}_HEADERS ${headers} PARENT_SCOPE)
    set(${prefix}_SOURCES ${sources} PARENT_SCOPE)
endfunction()

pellform_layer_files(PELLFORM_CORE core)
pellform_layer_files(PELLFORM_PLATFORM platform)
# The resource identifiers are shared with the resource script and the host.
pellform_layer_files(PELLFORM_UI ui)
list(APPEND PELLFORM_UI_HEADERS res/resource_ids.h)
pellform_layer_files(PELLFORM_ADDIN addin)
pellform_layer_files(PELLFORM_TOOL tool)
# The tool's names and console: one file for Windows, one for POSIX systems.
if(WIN32)
    list(FILTER PELLFORM_TOOL_SOURCES EXCLUDE REGEX "_posix\\.cpp$")
else()
    list(FILTER PELLFORM_TOOL_SOURCES EXCLUDE REGEX "^tool/tool_io\\.cpp$")
endif()

# Makes build/layers/NAME, a view of the tree that holds links to the headers given.
function(pellform_layer_view name)
    set(view ${CMAKE_BINARY_DIR}/layers/${name})
    file(REMOVE_RECURSE ${view})
    foreach(header ${ARGN})
        get_filename_component(folder ${view}/${header} DIRECTORY)
        file(MAKE_DIRECTORY ${folder})
        file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${header} ${view}/${header} SYMBOLIC)
    endforeach()
endfunction()

# A layer's sources compile against its view; `below` are the layers it links.
function(pellform_layer target kind view)
    cmake_parse_arguments(LAYER "" "" "SOURCES;BELOW" ${ARGN})
    list(TRANSFORM LAYER_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
    add_library(${target} ${kind} ${LAYER_SOURCES})
    target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/layers/${view})
    if(LAYER_BELOW)
        target_link_libraries(${target} PUBLIC ${LAYER_BELOW})
    endif()
endfunction()

pellform_layer_view(core ${PELLFORM_CORE_HEADERS})
pellform_layer(pellform_core STATIC core SOURCES ${PELLFORM_CORE_SOURCES})

if(WIN32)
    pellform_layer_view(platform ${PELLFORM_CORE_HEADERS} ${PELLFORM_PLATFORM_HEADERS})
    pellform_layer_view(ui ${PELLFORM_CORE_HEADERS} ${PELLFORM_PLATFORM_HEADERS} ${PELLFORM_UI_HEADERS})
    pellform_layer_view(addin ${PELLFORM_CORE_HEADERS} ${PELLFORM_PLATFORM_HEADERS} ${PELLFORM_UI_HEADERS}
        ${PELLFORM_ADDIN_HEADERS})
    pellform_layer(pellform_platform STATIC platform SOURCES ${PELLFORM_PLATFORM_SOURCES} BELOW pellform_core)
    target_link_libraries(pellform_platform PUBLIC ${PELLFORM_SYSTEM_LIBS})
    # Object libraries, so the resources and every object reach both DLLs whole.
    pellform_layer(pellform_ui OBJECT ui SOURCES ${PELLFORM_UI_SOURCES} res/pellform.rc BELOW pellform_platform)
    target_include_directories(pellform_ui PRIVATE ${CMAKE_SOURCE_DIR}/res)
    pellform_layer(pellform_addin OBJECT addin SOURCES ${PELLFORM_ADDIN_SOURCES} BELOW pellform_ui)
    # The command-line tool stands beside the add-in: it uses the core and the
    # platform pieces, never the windows.
    pellform_layer_view(tool ${PELLFORM_CORE_HEADERS} ${PELLFORM_PLATFORM_HEADERS} ${PELLFORM_TOOL_HEADERS})
endif()
