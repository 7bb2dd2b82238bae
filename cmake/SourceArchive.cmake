# "cmake --build build --target dist" writes vux-VERSION.tar.gz, the source
# archive the RPM is built from, into the build directory: the tree as it is
# on disk (no version control needed), without build directories and caches.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION})
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
string(REGEX REPLACE "([][+.*()^$?|\\\\])" "\\\\\\1" vux_binary_dir_pattern "${CMAKE_BINARY_DIR}")
set(CPACK_SOURCE_IGNORE_FILES
    "^${vux_binary_dir_pattern}/"
    "/\\\\.git/" "/\\\\.git$" "/\\\\.cache/" "/build[^/]*/" "/__pycache__/" "\\\\.pyc$"
    "/\\\\.lupdate/" "~$")
set(CPACK_SOURCE_TOPLEVEL_TAG "")
include(CPack)

add_custom_target(dist
    COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    COMMENT "Writing ${CPACK_SOURCE_PACKAGE_FILE_NAME}.tar.gz"
    VERBATIM)
