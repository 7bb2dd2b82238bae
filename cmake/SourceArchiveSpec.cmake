# SPDX-License-Identifier: GPL-2.0-or-later
# Run by cpack after it has gathered the source tree and before it packs it:
# the RPM spec the build configured goes in beside its template, for whoever
# builds from the archive alone. Only the source archive gathers directories.
if(CPACK_INSTALLED_DIRECTORIES)
    file(COPY "${CPACK_VUX_SPEC}" DESTINATION "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/packaging")
endif()
