# SPDX-License-Identifier: GPL-2.0-or-later
# Warning flags and Qt's safety macros, carried by every target of the project.
add_library(vux_options INTERFACE)
target_compile_options(vux_options INTERFACE
    $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra>)
target_compile_definitions(vux_options INTERFACE
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_USE_QSTRINGBUILDER
    QT_STRICT_ITERATORS
    PY_SSIZE_T_CLEAN)
