# SPDX-License-Identifier: GPL-2.0-or-later
# "cmake --build build --target dist" writes vux-VERSION.tar.gz, the source
# archive the RPM is built from, into the build directory: the tree as it is
# on disk (no version control needed), without build directories and caches,
# and packaging/vux.spec, configured from its template with the version and
# the project's addresses (build/vux.spec is the same file).
configure_file(${PROJECT_SOURCE_DIR}/packaging/vux.spec.in ${PROJECT_BINARY_DIR}/vux.spec @ONLY)
set(CPACK_VUX_SPEC ${PROJECT_BINARY_DIR}/vux.spec)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/SourceArchiveSpec.cmake)
set(CPACK_VERBATIM_VARIABLES TRUE)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION})
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
function(vux_regex_escape out text)
    string(REGEX REPLACE "([][+.*()^$?|\\\\])" "\\\\\\1" escaped "${text}")
    set(${out} "${escaped}" PARENT_SCOPE)
endfunction()
vux_regex_escape(source "${PROJECT_SOURCE_DIR}")
vux_regex_escape(binary "${PROJECT_BINARY_DIR}")
set(CPACK_SOURCE_IGNORE_FILES
    "^${binary}/"
    "^${source}/build[^/]*/"
    "^${source}/\\.[^/]*/"
    "^${source}/\\.git$"
    "/__pycache__/"
    "\\.pyc$"
    "~$")
include(CPack)

add_custom_target(dist
    COMMAND ${CMAKE_CPACK_COMMAND} --config ${PROJECT_BINARY_DIR}/CPackSourceConfig.cmake
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    COMMENT "Writing ${CPACK_SOURCE_PACKAGE_FILE_NAME}.tar.gz"
    VERBATIM)
