# The code in layers that only point down: a platform-free core, the Windows
# pieces, the windows and dialogs, and the add-in's exports. Each layer is a
# target compiled against a folder of links to its own headers and those of
# the layers below it, and nothing else, so including a header from a layer
# above does not compile.
set(PELLFORM_CORE_HEADERS
    region/region_rects.h region/region_data.h about/format_real.h editor/pixel_math.h picture/picture_size.h
    cli/region_export.h common/no_throw.h)
set(PELLFORM_CORE_SOURCES
    region/region_rects.cpp region/region_data.cpp about/format_real.cpp cli/region_export.cpp)
set(PELLFORM_PLATFORM_HEADERS
    common/win_handles.h common/module.h common/dialog_resource.h region/region_gdi.h region/region_file_io.h
    picture/picture_loading.h picture/picture_wic.h picture/com_owners.h)
set(PELLFORM_PLATFORM_SOURCES
    common/module.cpp common/dialog_resource.cpp region/region_gdi.cpp region/region_file_io.cpp
    picture/picture_loading.cpp picture/picture_wic.cpp)
set(PELLFORM_UI_HEADERS
    res/resource_ids.h editor/editor_state.h editor/colors.h editor/image_loading.h editor/image_view.h
    editor/preview_window.h editor/region_files.h rawdata/raw_data_dialogs.h about/about_dialogs.h)
set(PELLFORM_UI_SOURCES
    editor/colors.cpp editor/editor_commands.cpp editor/editor_state.cpp editor/editor_window.cpp
    editor/image_loading.cpp editor/image_view.cpp editor/message_boxes.cpp editor/preview_window.cpp
    editor/region_files.cpp editor/tinted_icon.cpp rawdata/input_dialogs.cpp rawdata/raw_data_dialog.cpp
    about/about_box.cpp about/image_info.cpp about/read_me.cpp)
set(PELLFORM_ADDIN_HEADERS addin/addin.h)
set(PELLFORM_ADDIN_SOURCES addin/addin.cpp)

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
endif()
