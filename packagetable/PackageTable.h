// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Names shared by the package table's model, proxy and view.
namespace PackageTable {

// Which entries the table shows by state; the values are the indexes of the
// main window's "View ..." combo box. ViewSecurity: the updates with a
// security advisory.
enum StateFilter {
    ViewUpdatable = 0,
    ViewInstallable = 1,
    ViewRemovable = 2,
    ViewAll = 3,
    ViewSecurity = 4
};

// How the pattern is used; the indexes of the "Filter"/"Search"/"What
// Provides" combo box. Provides asks the package manager which packages
// provide the capability or file the pattern names.
enum Mode { Filter = 0, Search = 1, Provides = 2 };

enum Column {
    ActionColumn = 0,
    StateColumn = 1,
    KindColumn = 2,
    NameColumn = 3,
    VersionColumn = 4,
    RepositoryColumn = 5,
    ArchitectureColumn = 6,
    SizeColumn = 7,
    BuildTimeColumn = 8,
    AdvisoryColumn = 9, // the most pressing advisory of an update
    ColumnCount = 10
};

} // namespace PackageTable
