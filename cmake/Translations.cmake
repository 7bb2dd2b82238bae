# SPDX-License-Identifier: GPL-2.0-or-later
# Qt Linguist catalogues. translations/vux.ts is the template a translator
# starts from (no language); each vux_<language>.ts is a catalogue, compiled
# into the program and chosen by the user's locale at start. Refresh them all
# from the sources with: cmake --build build --target update_translations
set(VUX_TRANSLATED_SOURCES ${VUX_CORE_SOURCES} ${CMAKE_CURRENT_SOURCE_DIR}/app/main.cpp)
set(VUX_LUPDATE_OPTIONS -locations none -no-obsolete)

qt_add_translations(vux
    TS_FILES translations/vux_de.ts
    SOURCES ${VUX_TRANSLATED_SOURCES}
    INCLUDE_DIRECTORIES ${CMAKE_CURRENT_SOURCE_DIR}
    RESOURCE_PREFIX /i18n
    LUPDATE_OPTIONS ${VUX_LUPDATE_OPTIONS})

qt_add_lupdate(vuxapp
    TS_FILES translations/vux.ts
    SOURCES ${VUX_TRANSLATED_SOURCES}
    INCLUDE_DIRECTORIES ${CMAKE_CURRENT_SOURCE_DIR}
    OPTIONS ${VUX_LUPDATE_OPTIONS})
