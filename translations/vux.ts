<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>HProgressBar</name>
    <message>
        <source>%1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Help::Window</name>
    <message>
        <source>VUX Manual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back to the page shown before (Alt+Left)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Forward</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forward to the page left with Back (Alt+Right)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Home</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back to the beginning of the manual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close the manual (Escape)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The manual is not installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no file %1. The manual is installed with the program; the environment variable VUXDOC names the directory that holds html/index.html when it is elsewhere.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Handed to the web browser: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The link cannot be opened in a web browser:
%1

The link: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot show %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>History::Window</name>
    <message>
        <source>Install</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upgrade</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Upgraded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downgrade</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downgraded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reinstall</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reinstalled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Obsolete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Obsoleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reason Change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>user</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>dependency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>weak dependency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no longer needed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, not done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VUX History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transactions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package manager&apos;s transactions, newest first; each expands to its packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Command line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Action(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Altered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What the transaction did: one action by its name, several by their initials (I install, U upgrade, D downgrade, E remove, R reinstall, O obsolete, C reason change)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How many packages the transaction changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Revert the selected transaction: remove what it installed, install what it removed, take back its updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Roll Back to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Revert every transaction after the selected one, so that the packages are as that transaction left them</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re&amp;fresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read the history again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close the History Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Made with VUX: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The transaction did not complete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The history could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No transactions recorded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n transaction(s)</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>The packages could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No packages.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Log::Window</name>
    <message>
        <source>VUX Log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Detail level</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Threshold beyond which more detailed log messages are omitted.
Higher levels show more detail.
The valid range is 0 .. %1.
The default is %2.
Higher levels contain debug information.
This corresponds to yum&apos;s debuglevel (-d) option.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close the Log Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;/font&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;font color=&quot;%1&quot;&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;h2&gt;&lt;font color=&quot;%1&quot;&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;/font&gt;&lt;/h2&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;font color=&quot;%1&quot;&gt;%2&lt;/font&gt; </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>VUX - %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Windows</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Repositories</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cache</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean Headers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean Packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean XML Metadata</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean Pickled Data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manual (html)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manual (PDF)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View Updatable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View Installable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View Removable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include Groups</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whether or not filter should include package groups</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Describe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pop up a window with a detailed description of the currently selected package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re&amp;size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resize the columns and window to optimal values</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re&amp;fresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh the list of installed packages and packages available for update.
Use this to check for new updates in repositories, or if any packages were installed manually.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set &amp;Install/Update of Selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sets the Action for all selected packages which are Not Installed to Install, and
sets the Action for all selected packages which are Installed but Out-of-date to Update.
Does not Apply Actions automatically.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set &amp;Update of All Out-of-Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sets the Action for all packages which are Installed but Out-of-date to Update.
Does not Apply Actions automatically.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>C&amp;lear Actions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clears all specified Actions (Updates, Installs, and Removals)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Apply Actions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Applies the specified Actions (Updates, Installs, and Removals)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean RPM package headers cached locally in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean RPM packages cached locally in %1
(useful for recovering disk space)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean XML metadata cached locally in %1
(useful along with Clean Pickled Data for
 forcing download of new available package lists)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean pickled data cached locally in %1
(useful along with Clean XML Metadata for
 forcing download of new available package lists)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clean all data cached locally in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;h3&gt;VUX %1&lt;/h3&gt;&lt;hr&gt;&lt;p&gt;VUX, Vuxtool, is a graphical user interface which allows a user to make modifications to the installed rpm packages on a system.&lt;/p&gt;&lt;p&gt;Capabilities:&lt;p&gt;&lt;ul&gt;&lt;li&gt;Install new packages or update existing packages by downloading them from a yum package repository&lt;/li&gt;&lt;li&gt;Remove existing packages.&lt;/li&gt;&lt;li&gt;Configure sets of repositories from which to obtain new and updated packages.&lt;/li&gt;&lt;li&gt;Examine installed packages or packages available for installation or update&lt;/li&gt;&lt;li&gt;Install, update, or remove groups of packages&lt;/li&gt;&lt;li&gt;Install or update suites of packages&lt;/li&gt;&lt;/ul&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Regular expression to compare to all fields of a package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Perform the search for the regular expression specified to the left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Regular expression filter matching textual fields visible in the table</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply the filter specified to the left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (Must load extra data.)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pattern use</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Packages shown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort &amp;by</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VUX</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop the current operation and quit?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopping at the user&apos;s request</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not a valid regular expression (%1): nothing is hidden</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The transaction is running and cannot be stopped.
Quit when it has ended?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export Marks...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write the marked actions to a text file, to mark them again here or elsewhere</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Import Marks...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mark the actions a file of marks names</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Reset Layout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forget the remembered window size, view, sort order and column widths</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>What Provides</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View Security Updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filter for those packages which are eligible for updating,
for installing, or for removing; or show all packages;
or the updates that have a security advisory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ign&amp;ore Case</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whether Filter and Search match letters regardless of their case</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Securit&amp;y Updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sets the Action for all packages which are Installed but Out-of-date and have a security advisory
to Update. Does not Apply Actions automatically.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Packages marked for an action that has not been applied: %1.
Quit without applying?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Packages marked for an action that has not been applied: %1.
Cleaning collects the package lists again; packages no longer listed afterwards lose their marks.
Clean the cache?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cleaned the cache in %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Marks dropped (the package is gone, or its action no longer applies): %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The PDF manual is not installed: there is no file %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The PDF manual %1 cannot be opened:
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The same manual can be read inside VUX.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Show Manual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Capability or file whose providers to find, such as /usr/bin/xz or libfoo.so.1()(64bit);
shell wildcards (* ? [...]) are allowed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the packages that provide the capability or file named to the left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export Marks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Marks (*.txt);;All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Marks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Specify the method for using a regular expression to select packages in the table:
	Filter uses the textual fields visible in the table, as if they were separated by spaces.
	Search uses all fields in packages, including list of Files, Change Log, Requires, etc.,
	independently.  It is considerably slower.
	What Provides shows the packages that provide a capability or file (not a regular expression).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+H</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package manager&apos;s transactions, with Undo and Roll Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading the package manager: the table shows the packages as they were at the last start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(loading)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package list could not be cached: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Packages marked for an action that has not been applied: %1.
The package lists are collected again afterwards; packages that can no longer take their marks lose them.
Go on?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackageTable::ActionContextMenu</name>
    <message>
        <source>Action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Install</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;No Action</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackageTable::Describe::Dialog</name>
    <message>
        <source>VUX Package Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackageTable::Describe::Instance::Area</name>
    <message>
        <source>%1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kind</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repository</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Details</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repository Details</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Architecture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Summary</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vendor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Build Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Build Host</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Install Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Binary RPM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Source RPM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>License</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Packager</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Relocations</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Provides</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Requires</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conflicts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Obsoletes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Required Groups</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default MetaPkgs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Optional MetaPkgs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mandatory Packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default Packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Optional Packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conditional Packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (must load extra data)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2 File List</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2 Change Log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replaced by</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Security (no severity given)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;b&gt;%1&lt;/b&gt; %2, updated %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>References: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Advisory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The reference cannot be opened in a web browser:
%1

Its URL: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Required By: Show Installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Required By: Show Available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Required By</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No installed package requires %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No available package requires %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Required By (installed packages)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Required By (available packages)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackageTable::Describe::Instance::RepoDialog</name>
    <message>
        <source>VUX Repository Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse Repository</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse the first URL specified for the selected repository using an external web browser</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>URLs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mirror list URL</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackageTable::Marks</name>
    <message>
        <source>VUX Marks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line %1: %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no such group here</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no such package here</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>already installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no update available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>version %1 is not offered here (%2 is)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The marks could not be written to %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file is too large to be a list of marks</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was marked: %1 could not be read.
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>... and %n more</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n line(s) of %1 name what cannot be marked here; the other marks were set.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Line %1 is not an action and a package (install, update, remove, reinstall or downgrade NAME): %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no repository has the installed version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no repository has version %1 to downgrade to</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackageTable::Model</name>
    <message>
        <source>Update package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Install package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Package is available to update an out-of-date version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Package is available for installation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Package is installed and up-to-date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suite of packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Group of packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ordinary package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installed: %1
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Available: %1
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>State</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kind</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repository</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Architecture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Build Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Action to be performed on the package, if any: Update, Install, Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Indicates whether the package is Installed or not and, if installed, whether it is Up-to-date or not</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whether the package is an ordinary package, a suite of packages, or a group of packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name of the package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version and release of the package as version-release;
If the Epoch is non-zero, includes it as epoch:version-release</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repository from which the most recent version of the package is available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Architecture for which the package is applicable, or &quot;noarch&quot; for general-purpose packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size of the package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date and time at which the package was created</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Security (Low)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Security (Moderate)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Security (Important)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Security (Critical)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Security</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bug fix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enhancement</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other advisory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An older version of the package, installed beside a newer one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replaced by: %1 %2
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Advisory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The most pressing advisory of an update: Security (with its severity), Bug fix or Enhancement</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reinstall package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downgrade package to %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Package is held at version %1 (version lock): its update is held back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Package is held at version %1 (version lock): no other version is installed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackageTable::OtherContextMenu</name>
    <message>
        <source>Package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Describe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse Repository</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Release &amp;Hold</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Hold at Installed Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Let the package be updated and downgraded again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keep the package at its installed version: it is not updated, by this program or by dnf, until released</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackageTable::StatusLine</name>
    <message>
        <source>Package counts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updatable: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updatable: %1 (%2 security)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Marked: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Marked: %1 (%2 to download)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1    Installed: %2    Available: %3    %4</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackageTable::VersionActions</name>
    <message>
        <source>R&amp;einstall</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do&amp;wngrade to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No repository has the installed version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package is held: release it first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No repository has an older version</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackageTable::View</name>
    <message>
        <source>Packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Packages, groups and suites with their actions; Space changes the action of the current row, the menu key opens its menu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort the table by this column; again to reverse the order</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QDialog</name>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QDialogButtonBox</name>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>#fffacd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>blue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>red</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#ffa9b8</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>darkorange</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#8b5a2b</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#ffbd94</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>green</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fork() failed; errno = %1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Helvetica</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Courier</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be run: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 did not answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 refused, with status %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RepoAuth::Dialog</name>
    <message>
        <source>VUX Authentication</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Some configured repositories require authentication</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Identifier</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>URLs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mirror list URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Authentication name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Authentication name for a repository using the larder authentication method</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Authentication password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Authentication password for a repository using the larder authentication method</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disable for Session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skip All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply to All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply to All with this Host</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RepoBrowse</name>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repository configuration has no URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The repository cannot be opened in a web browser:
%1

Its URL: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RepoEditor::Config</name>
    <message>
        <source>No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Identifier</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unique identifier for the repository</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description of the repository</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>URLs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>List of URLs to the repository.
If more than one is specified, they all should be identical mirrors,
and will provide redundancy if some URLs are unreachable.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mirror list URL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>URL to a file containing a list of URLs to the repository.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Larder Authentication</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Larder Authentication Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Authentication name for a repository using the larder authentication method</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Larder Authentication Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Authentication password for a repository using the larder authentication method</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repository Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check GPG Keys</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whether or not the repository is enabled for use</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whether or not GPG key signatures of packages from the repository are checked to ensure authenticity</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other Options:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Any other yum options for this repository.  See yum.conf(5)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration File (expert)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort Position</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name of the yum configuration file into which to place this repository configuration.
If left blank, defaults to the repository&apos;s identifier</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A numeric sort key which determines the order of this repository configuration
in a configuration file which contains multiple configurations</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(Yes)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(No)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Identifier specified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No URLs or Mirror list URL specified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File is not in any reposdir directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File lacks .repo suffix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Larder Authentication Name specified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Larder Authentication Password specified</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a blank</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Identifier may hold only letters, digits and - _ . : (not %1)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RepoEditor::ConfigDialog</name>
    <message>
        <source>VUX Repository Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo changes to this repository configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo changes to this repository configuration and close the window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply changes to all repository configurations, and close the window</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RepoEditor::ContextMenu</name>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse Repository</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RepoEditor::Dialog</name>
    <message>
        <source>VUX Repository Configuration Editor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse Repository</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse the first URL specified for the selected repository using an external web browser</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit the selected repository configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create a new repository configuration from scratch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create a new repository configuration based on the selected repository</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove the selected repository configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reset All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo changes to all repository configurations since the last Apply or opening of the dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo changes to all repository configurations since the last Apply or opening of the dialog, and close the window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply changes to all repository configurations, but do not close the window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply changes to all repository configurations, and close the window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A repository has no Identifier</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Two or more repositories have the Identifier, %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unapplied Configuration Changes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RepoEditor::Model</name>
    <message>
        <source>Repository is enabled for this session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repository is not enabled for this session</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Yes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repository is configured to be enabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repository is not configured to be enabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(new)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sess</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Perm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Identifier</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whether or not the repository is used during this session.
It overrides the persistent Enabled flag in the repository configuration.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Whether or not the repository is configured to be enabled by default.
It can be overridden for a particular session.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unique identifier for the repository</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description of the repository</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RepoEditor::View</name>
    <message>
        <source>Repositories</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>YumConfIO</name>
    <message>
        <source>Unable to read yum configuration file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to read repository configuration file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Malformed section name in line: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error reading repository configuration file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The repository configuration was not read completely, so no repository file is removed, and files that were not read are not rewritten.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repository configuration file %1 was not written: it exists but is not a configuration file that was read, and overwriting it would destroy what it holds. Choose another File for the repositories in it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to write repository configuration file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to unlink repository configuration file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to stat repository configuration file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A repository has no Identifier.  It will be removed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Two or more repositories have the same Identifier(s), %1.  Only one repository will be applied for each Identifier.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repository Editor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  Proceed?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; errno = %1 (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VUX Repository Editor Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VUX Repository Editor Warning</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>YumIO</name>
    <message>
        <source>Unable to release yum lock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot register python yumIOC module</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot find python sys module</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot set python sys.path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot set python sys.argv</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot find python rpm module</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot find python rpm dict</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: unable to open YumIO.py</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: unable to execute YumIO.py</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot find python YumIO</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to initialize</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot create python yumIO</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Available for update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Available for installation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suite of packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Group of packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ordinary package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to obtain yum lock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: yumIO.repos.repos not evaluable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: yumIO.repos.repos not a dictionary</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unable to setup repository %1:
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No repositories are configured.
Under the Repositories menu, Edit Configuration can be used to configure repositories.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No repositories are enabled.
Under the Repositories menu, Edit Configuration can be used to configure repositories.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Initialization</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Initializing: Total Progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preparing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading repositories</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Collecting updatable packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to setup transaction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to collect updatable packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.collectUpdates failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Collecting installed and available packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to collect installed and available packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.collectAll failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Collecting groups</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.setupTsGroup failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to collect groups</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.collectGroupInfo failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: yumIO.collectAll.%1 not found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: groupInfo.visible_groups not evaluable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: group without name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot find group&apos;s installed flag</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: YumIO::pyString did not understand type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: YumIO::pyStringX did not understand non-empty list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: YumIO::pyStringX did not understand type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: package size not understood</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: package size not understood: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: package size result not understood</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: time not understood</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: time not understood: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Eb</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pb</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tb</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gb</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mb</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kb</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>b</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VUX Yum Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VUX Yum Warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>getRpmHdrValue called for package with no hdr (i.e. not installed)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot find rpm.%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot find package&apos;s prco.%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot find package&apos;s files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: cannot find package&apos;s changelog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>getGroupItem_22 called for incorrect version of yum</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: groupInfo.%1 not evaluable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: groupInfo.%1[%2] not evaluable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>getGroupItem_25 called for incorrect version of yum</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: group %1.%2 not evaluable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Collecting File Lists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Collecting Miscellaneous data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>file lists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>miscellaneous data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading file lists: Total Progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading miscellaneous data: Total Progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to collect file lists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to collect miscellaneous data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.collectFileLists failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.collectOtherData failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Applying</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: yum version not understood: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cleaning Headers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cleaning Packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cleaning Xml Metadata</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cleaning Pickled Cache</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cleaning All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading repository %1 mirror list for %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading repository %1 mirror list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading repository %1 repomd for %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading repository %1 repomd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading repository %1 for %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading repository %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Converting repository %1 for %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Converting repository %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading repository %1 for %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading repository %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finishing RPM rebuild from deltas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading %1 header</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Parts of the repository configuration were ignored:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Install</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking Dependencies: Total Progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: unable to create the lists of changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to add package %1 to removes list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to add package %1 to installs list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to find installed version for package update %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to add new package to pair for updated package %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to add old package to pair for updated package %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to add package %1 to updates list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error applying changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error applying changes: Exiting on Broken Pipe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the package is optional</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Package %1 is included in group %2 which was marked for %3,
so the package would be marked for %4,
but it was marked individually for %5.
How do you wish to proceed?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Package %1 is included in group %2 which was marked for %3,
so the package would be marked for %4,
but you resolved an earlier conflict by marking it for %5.
How do you wish to proceed?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Package %1 is included in group %2 which was marked for %3,
so the package would be marked for %4,
but it also was part of group %5 and so was marked for %6.
How do you wish to proceed?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manually resolving conflict: marking package %1 for %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>For group %1, marking package %2 for %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>For group %1, package %2 already was marked for %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>For group %1, not marking package %2 for %3, becuase %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: group lacks required package lists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: group lacks required proper required package lists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: group lacks package lists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: group lacks required proper package lists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Collected %1 packages (%2 updatable, %3 installed, %4 available) and %5 groups from %6 repositories in %7 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package manager gave no reason.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to clean the cache:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resolve Dependencies</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: TSINFO mentions unknown package: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: TSINFO mentions intent to install or upgrade package that already seems up-to-date: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: unexpected TSINFO: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: tsInfo lacks %1
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transaction to be performed:
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Performing the following to resolve dependencies:
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Other Transactions:
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Obsoleting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total download size: %1
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Applying: OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not Applying: Canceled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Running Transaction: Total Progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Importing GPG key:
 Userid     : &quot;%1&quot;
 Fingerprint: %2
 From       : %3
Is this ok?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do Not Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Key imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Key not imported</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preparing to Test Transaction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preparing to Run Transaction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transaction Test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updating %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installing %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Completing update for: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removing %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: YumIO::tsCallback what=%1 not understood; ignoring</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: YumIO::tsEvent action=%1 not understood; ignoring</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dependency Removed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dependency Installed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dependency Updated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Obsoleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Collecting advisories</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The advisories of the updates could not be read: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.collectAdvisories failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read the advisories of %1 updates in %2 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to find the packages that require %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.whatRequires failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to find what provides %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.whatProvides failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>hawkey&apos;s Sack type was not found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the sack is no hawkey Sack</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>more than one libsolv is loaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>libdnf.so.2 and its sack functions are not loaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the sack object holds no DnfSack</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the sack has no pool</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the script object has no sack or installroot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search reads the fields of each package through the script: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Install group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reinstall</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downgrade</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rolling back to transaction %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undoing transaction %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to add package %1 to the changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error undoing transactions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the package is held</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to read the transaction history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to read transaction %1 of the history</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to read the held packages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to hold %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to release %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Held %1 at version %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Released the hold on %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to find the versions of %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Installed size change: %1
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>YumIOCapturers</name>
    <message>
        <source>Unable to open pipe to capture rpm transaction output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to dup2 pipe to capture rpm transaction output</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unable to dup2 to restore stderr</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>%1: cannot open a display: DISPLAY and WAYLAND_DISPLAY are not set.
Vux is a graphical program; run it in an X11 or Wayland session, or through ssh -X.
&quot;%1 --help&quot; shows the command-line options.
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
