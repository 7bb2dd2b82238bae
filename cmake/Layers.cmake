# SPDX-License-Identifier: GPL-2.0-or-later
# The program is built in layers, one folder and one static library each, from
# the bottom up (doc/layers.md). A layer may use the layers below it, never
# one above. The build holds every layer to that:
#  - when configuring, every .cpp and .h of a layer's folder must be in the
#    layer's list, so that no file escapes the checks below;
#  - before anything is compiled, check-layer-includes.py reads the includes
#    of every file of every layer and fails on one that names a higher layer
#    (this catches what only a header uses: inline code, a class member);
#  - each layer is linked once more, whole, into a shared library that may
#    have no undefined symbols and sees only the layers below: a call into a
#    higher layer fails that link. It reuses the layer's objects, so nothing
#    is compiled twice.
set(VUX_LAYERS base widgets python log progress yumio repo packagetable app)

set(VUX_LAYER_CHECK_DIR ${PROJECT_BINARY_DIR}/layer-check)
file(CONFIGURE OUTPUT ${VUX_LAYER_CHECK_DIR}/empty.cpp
    CONTENT "// The link checks' libraries have no code of their own.\n" @ONLY)
add_library(vux_layer_check_empty OBJECT ${VUX_LAYER_CHECK_DIR}/empty.cpp)
set_target_properties(vux_layer_check_empty PROPERTIES POSITION_INDEPENDENT_CODE ON AUTOMOC OFF)

# The include check runs before any layer compiles; its file list is filled
# in by vux_add_layer and written out by vux_check_layer_includes.
add_custom_target(vux_layer_includes ALL
    DEPENDS ${VUX_LAYER_CHECK_DIR}/includes.stamp)

# vux_add_layer(NAME SOURCES file... [PROGRAM file...])
# Called from the layer's own folder, whose name is the layer's. Makes the
# static library vuxNAME from SOURCES (paths relative to the folder, one per
# line), linked to the layer right below it and so to all lower ones.
# PROGRAM names files of the folder that the program compiles itself.
function(vux_add_layer name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;PROGRAM")
    list(FIND VUX_LAYERS ${name} index)
    if(index LESS 0)
        message(FATAL_ERROR "${name} is not one of the layers: ${VUX_LAYERS}")
    endif()

    file(GLOB present CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    list(REMOVE_ITEM present ${arg_SOURCES} ${arg_PROGRAM})
    if(present)
        list(JOIN present ", " unlisted)
        message(FATAL_ERROR "${name}/ holds files that ${name}/CMakeLists.txt does not list: "
            "${unlisted}. Add each to the SOURCES of the layer ${name}.")
    endif()

    set(target vux${name})
    add_library(${target} STATIC ${arg_SOURCES})
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    add_dependencies(${target} vux_layer_includes)
    if(index GREATER 0)
        math(EXPR below_index "${index} - 1")
        list(GET VUX_LAYERS ${below_index} below)
        target_link_libraries(${target} PUBLIC vux${below})
    endif()

    add_library(${target}_linkcheck SHARED $<TARGET_OBJECTS:vux_layer_check_empty>)
    target_link_libraries(${target}_linkcheck PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${target}>")
    # Nothing loads these libraries: they are written without debug data.
    target_link_options(${target}_linkcheck PRIVATE LINKER:--no-undefined LINKER:--strip-all)
    set_target_properties(${target}_linkcheck PROPERTIES
        AUTOMOC OFF
        LIBRARY_OUTPUT_DIRECTORY ${VUX_LAYER_CHECK_DIR})

    list(TRANSFORM arg_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    list(TRANSFORM arg_PROGRAM PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
    set_property(GLOBAL APPEND PROPERTY VUX_LAYER_SOURCES ${arg_SOURCES})
    set_property(GLOBAL APPEND PROPERTY VUX_LAYER_FILES ${arg_SOURCES} ${arg_PROGRAM})
endfunction()

# After the last layer: every file of every layer, for the include check.
function(vux_check_layer_includes)
    get_property(files GLOBAL PROPERTY VUX_LAYER_FILES)
    set(list_file ${VUX_LAYER_CHECK_DIR}/files.txt)
    file(CONFIGURE OUTPUT ${list_file} CONTENT "${files}" @ONLY)
    list(JOIN VUX_LAYERS "," layers)
    add_custom_command(OUTPUT ${VUX_LAYER_CHECK_DIR}/includes.stamp
        COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/check-layer-includes.py
            ${PROJECT_SOURCE_DIR} ${layers} ${list_file}
        COMMAND ${CMAKE_COMMAND} -E touch ${VUX_LAYER_CHECK_DIR}/includes.stamp
        DEPENDS ${files} ${list_file} ${PROJECT_SOURCE_DIR}/cmake/check-layer-includes.py
        COMMENT "Checking that no layer includes a higher one"
        VERBATIM)
endfunction()
