<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>HProgressBar</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>Help::Window</name>
    <message>
        <source>VUX Manual</source>
        <translation>VUX-Handbuch</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>Back to the page shown before (Alt+Left)</source>
        <translation>Zurück zur zuvor gezeigten Seite (Alt+Links)</translation>
    </message>
    <message>
        <source>&amp;Forward</source>
        <translation>&amp;Vorwärts</translation>
    </message>
    <message>
        <source>Forward to the page left with Back (Alt+Right)</source>
        <translation>Vorwärts zu der mit „Zurück“ verlassenen Seite (Alt+Rechts)</translation>
    </message>
    <message>
        <source>&amp;Home</source>
        <translation>&amp;Anfang</translation>
    </message>
    <message>
        <source>Back to the beginning of the manual</source>
        <translation>Zurück zum Anfang des Handbuchs</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Close the manual (Escape)</source>
        <translation>Das Handbuch schließen (Esc)</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Handbuch</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Verweis</translation>
    </message>
    <message>
        <source>The manual is not installed</source>
        <translation>Das Handbuch ist nicht installiert</translation>
    </message>
    <message>
        <source>There is no file %1. The manual is installed with the program; the environment variable VUXDOC names the directory that holds html/index.html when it is elsewhere.</source>
        <translation>Die Datei %1 ist nicht vorhanden. Das Handbuch wird mit dem Programm installiert; liegt es anderswo, nennt die Umgebungsvariable VUXDOC das Verzeichnis, das html/index.html enthält.</translation>
    </message>
    <message>
        <source>Handed to the web browser: %1</source>
        <translation>An den Webbrowser übergeben: %1</translation>
    </message>
    <message>
        <source>The link cannot be opened in a web browser:
%1

The link: %2</source>
        <translation>Der Verweis kann nicht in einem Webbrowser geöffnet werden:
%1

Der Verweis: %2</translation>
    </message>
    <message>
        <source>Cannot show %1</source>
        <translation>%1 kann nicht angezeigt werden</translation>
    </message>
</context>
<context>
    <name>History::Window</name>
    <message>
        <source>Install</source>
        <translation>Installieren</translation>
    </message>
    <message>
        <source>Upgrade</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Upgraded</source>
        <translation>Aktualisiert</translation>
    </message>
    <message>
        <source>Downgrade</source>
        <translation>Zurückstufen</translation>
    </message>
    <message>
        <source>Downgraded</source>
        <translation>Zurückgestuft</translation>
    </message>
    <message>
        <source>Removed</source>
        <translation>Entfernt</translation>
    </message>
    <message>
        <source>Reinstall</source>
        <translation>Neu installieren</translation>
    </message>
    <message>
        <source>Reinstalled</source>
        <translation>Neu installiert</translation>
    </message>
    <message>
        <source>Obsolete</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Obsoleted</source>
        <translation>Ersetzt</translation>
    </message>
    <message>
        <source>Reason Change</source>
        <translation>Grund geändert</translation>
    </message>
    <message>
        <source>user</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>dependency</source>
        <translation>Abhängigkeit</translation>
    </message>
    <message>
        <source>weak dependency</source>
        <translation>schwache Abhängigkeit</translation>
    </message>
    <message>
        <source>no longer needed</source>
        <translation>nicht mehr benötigt</translation>
    </message>
    <message>
        <source>group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unbekannt</translation>
    </message>
    <message>
        <source>%1, not done</source>
        <translation>%1, nicht ausgeführt</translation>
    </message>
    <message>
        <source>VUX History</source>
        <translation>VUX-Verlauf</translation>
    </message>
    <message>
        <source>Transactions</source>
        <translation>Transaktionen</translation>
    </message>
    <message>
        <source>The package manager&apos;s transactions, newest first; each expands to its packages</source>
        <translation>Die Transaktionen der Paketverwaltung, die neueste zuerst; jede lässt sich zu ihren Paketen aufklappen</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>Command line</source>
        <translation>Befehlszeile</translation>
    </message>
    <message>
        <source>Action(s)</source>
        <translation>Aktion(en)</translation>
    </message>
    <message>
        <source>Altered</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>What the transaction did: one action by its name, several by their initials (I install, U upgrade, D downgrade, E remove, R reinstall, O obsolete, C reason change)</source>
        <translation>Was die Transaktion tat: eine Aktion mit ihrem Namen, mehrere mit ihren Anfangsbuchstaben (I installieren, U aktualisieren, D zurückstufen, E entfernen, R neu installieren, O ersetzen, C Grund geändert)</translation>
    </message>
    <message>
        <source>How many packages the transaction changed</source>
        <translation>Wie viele Pakete die Transaktion geändert hat</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig machen</translation>
    </message>
    <message>
        <source>Revert the selected transaction: remove what it installed, install what it removed, take back its updates</source>
        <translation>Die ausgewählte Transaktion rückgängig machen: entfernen, was sie installiert hat, installieren, was sie entfernt hat, ihre Aktualisierungen zurücknehmen</translation>
    </message>
    <message>
        <source>&amp;Roll Back to</source>
        <translation>&amp;Zurückkehren zu</translation>
    </message>
    <message>
        <source>Revert every transaction after the selected one, so that the packages are as that transaction left them</source>
        <translation>Jede Transaktion nach der ausgewählten rückgängig machen, sodass die Pakete so sind, wie diese Transaktion sie hinterlassen hat</translation>
    </message>
    <message>
        <source>Re&amp;fresh</source>
        <translation>&amp;Neu einlesen</translation>
    </message>
    <message>
        <source>Read the history again</source>
        <translation>Den Verlauf erneut einlesen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Close the History Window</source>
        <translation>Das Verlaufsfenster schließen</translation>
    </message>
    <message>
        <source>Made with VUX: %1</source>
        <translation>Mit VUX ausgeführt: %1</translation>
    </message>
    <message>
        <source>The transaction did not complete</source>
        <translation>Die Transaktion wurde nicht abgeschlossen</translation>
    </message>
    <message>
        <source>The history could not be read.</source>
        <translation>Der Verlauf konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>No transactions recorded.</source>
        <translation>Keine Transaktionen aufgezeichnet.</translation>
    </message>
    <message numerus="yes">
        <source>%n transaction(s)</source>
        <translation>
            <numerusform>%n Transaktion</numerusform>
            <numerusform>%n Transaktionen</numerusform>
        </translation>
    </message>
    <message>
        <source>The packages could not be read.</source>
        <translation>Die Pakete konnten nicht gelesen werden.</translation>
    </message>
    <message>
        <source>No packages.</source>
        <translation>Keine Pakete.</translation>
    </message>
</context>
<context>
    <name>Log::Window</name>
    <message>
        <source>VUX Log</source>
        <translation>VUX-Protokoll</translation>
    </message>
    <message>
        <source>Detail level</source>
        <translation>Detailstufe</translation>
    </message>
    <message>
        <source>Threshold beyond which more detailed log messages are omitted.
Higher levels show more detail.
The valid range is 0 .. %1.
The default is %2.
Higher levels contain debug information.
This corresponds to yum&apos;s debuglevel (-d) option.</source>
        <translation>Schwelle, oberhalb der detailliertere Protokollmeldungen ausgelassen werden.
Höhere Stufen zeigen mehr Einzelheiten.
Der gültige Bereich ist 0 .. %1.
Vorgabe ist %2.
Höhere Stufen enthalten Informationen zur Fehlersuche.
Dies entspricht der Option debuglevel (-d) von yum.</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Close the Log Window</source>
        <translation>Das Protokollfenster schließen</translation>
    </message>
    <message>
        <source>&lt;font&gt;</source>
        <translation>&lt;font&gt;</translation>
    </message>
    <message>
        <source>&lt;/font&gt;</source>
        <translation>&lt;/font&gt;</translation>
    </message>
    <message>
        <source>&lt;font color=&quot;%1&quot;&gt;</source>
        <translation>&lt;font color=&quot;%1&quot;&gt;</translation>
    </message>
    <message>
        <source>&lt;h2&gt;&lt;font color=&quot;%1&quot;&gt;</source>
        <translation>&lt;h2&gt;&lt;font color=&quot;%1&quot;&gt;</translation>
    </message>
    <message>
        <source>&lt;/font&gt;&lt;/h2&gt;</source>
        <translation>&lt;/font&gt;&lt;/h2&gt;</translation>
    </message>
    <message>
        <source>&lt;font color=&quot;%1&quot;&gt;%2&lt;/font&gt; </source>
        <translation>&lt;font color=&quot;%1&quot;&gt;%2&lt;/font&gt; </translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>VUX - %1</source>
        <translation>VUX - %1</translation>
    </message>
    <message>
        <source>&amp;Program</source>
        <translation>&amp;Programm</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>&amp;Windows</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Log</source>
        <translation>&amp;Protokoll</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>&amp;Repositories</source>
        <translation>Paket&amp;quellen</translation>
    </message>
    <message>
        <source>&amp;Edit Configuration</source>
        <translation>Konfiguration &amp;bearbeiten</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>&amp;Cache</source>
        <translation>&amp;Zwischenspeicher</translation>
    </message>
    <message>
        <source>Clean Headers</source>
        <translation>Paketköpfe löschen</translation>
    </message>
    <message>
        <source>Clean Packages</source>
        <translation>Pakete löschen</translation>
    </message>
    <message>
        <source>Clean XML Metadata</source>
        <translation>XML-Metadaten löschen</translation>
    </message>
    <message>
        <source>Clean Pickled Data</source>
        <translation>Aufbereitete Daten löschen</translation>
    </message>
    <message>
        <source>Clean All</source>
        <translation>Alles löschen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Manual (html)</source>
        <translation>Handbuch (HTML)</translation>
    </message>
    <message>
        <source>Manual (PDF)</source>
        <translation>Handbuch (PDF)</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Über VUX</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filtern</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>View Updatable</source>
        <translation>Aktualisierbare zeigen</translation>
    </message>
    <message>
        <source>View Installable</source>
        <translation>Installierbare zeigen</translation>
    </message>
    <message>
        <source>View Removable</source>
        <translation>Entfernbare zeigen</translation>
    </message>
    <message>
        <source>View All</source>
        <translation>Alle zeigen</translation>
    </message>
    <message>
        <source>Include Groups</source>
        <translation>Gruppen einbeziehen</translation>
    </message>
    <message>
        <source>Whether or not filter should include package groups</source>
        <translation>Ob der Filter Paketgruppen einbezieht</translation>
    </message>
    <message>
        <source>&amp;Describe</source>
        <translation>&amp;Beschreiben</translation>
    </message>
    <message>
        <source>Pop up a window with a detailed description of the currently selected package</source>
        <translation>Ein Fenster mit der ausführlichen Beschreibung des gewählten Pakets öffnen</translation>
    </message>
    <message>
        <source>Re&amp;size</source>
        <translation>&amp;Größe anpassen</translation>
    </message>
    <message>
        <source>Resize the columns and window to optimal values</source>
        <translation>Spalten und Fenster auf die beste Größe bringen</translation>
    </message>
    <message>
        <source>Re&amp;fresh</source>
        <translation>&amp;Neu laden</translation>
    </message>
    <message>
        <source>Refresh the list of installed packages and packages available for update.
Use this to check for new updates in repositories, or if any packages were installed manually.</source>
        <translation>Die Liste der installierten und aktualisierbaren Pakete neu laden.
Damit lassen sich neue Aktualisierungen in den Paketquellen finden, oder von Hand installierte Pakete.</translation>
    </message>
    <message>
        <source>Set &amp;Install/Update of Selected</source>
        <translation>Gewählte &amp;installieren/aktualisieren</translation>
    </message>
    <message>
        <source>Sets the Action for all selected packages which are Not Installed to Install, and
sets the Action for all selected packages which are Installed but Out-of-date to Update.
Does not Apply Actions automatically.</source>
        <translation>Setzt die Aktion aller gewählten nicht installierten Pakete auf Installieren und
die Aktion aller gewählten installierten, aber veralteten Pakete auf Aktualisieren.
Führt die Aktionen nicht selbst aus.</translation>
    </message>
    <message>
        <source>Set &amp;Update of All Out-of-Date</source>
        <translation>Alle veralteten a&amp;ktualisieren</translation>
    </message>
    <message>
        <source>Sets the Action for all packages which are Installed but Out-of-date to Update.
Does not Apply Actions automatically.</source>
        <translation>Setzt die Aktion aller installierten, aber veralteten Pakete auf Aktualisieren.
Führt die Aktionen nicht selbst aus.</translation>
    </message>
    <message>
        <source>C&amp;lear Actions</source>
        <translation>Aktionen zu&amp;rücksetzen</translation>
    </message>
    <message>
        <source>Clears all specified Actions (Updates, Installs, and Removals)</source>
        <translation>Setzt alle gewählten Aktionen zurück (Aktualisieren, Installieren und Entfernen)</translation>
    </message>
    <message>
        <source>&amp;Apply Actions</source>
        <translation>Aktionen &amp;ausführen</translation>
    </message>
    <message>
        <source>Applies the specified Actions (Updates, Installs, and Removals)</source>
        <translation>Führt die gewählten Aktionen aus (Aktualisieren, Installieren und Entfernen)</translation>
    </message>
    <message>
        <source>Clean RPM package headers cached locally in %1</source>
        <translation>Die in %1 zwischengespeicherten RPM-Paketköpfe löschen</translation>
    </message>
    <message>
        <source>Clean RPM packages cached locally in %1
(useful for recovering disk space)</source>
        <translation>Die in %1 zwischengespeicherten RPM-Pakete löschen
(gibt Plattenplatz frei)</translation>
    </message>
    <message>
        <source>Clean XML metadata cached locally in %1
(useful along with Clean Pickled Data for
 forcing download of new available package lists)</source>
        <translation>Die in %1 zwischengespeicherten XML-Metadaten löschen
(zusammen mit „Aufbereitete Daten löschen“, um
 neue Paketlisten herunterladen zu lassen)</translation>
    </message>
    <message>
        <source>Clean pickled data cached locally in %1
(useful along with Clean XML Metadata for
 forcing download of new available package lists)</source>
        <translation>Die in %1 zwischengespeicherten aufbereiteten Daten löschen
(zusammen mit „XML-Metadaten löschen“, um
 neue Paketlisten herunterladen zu lassen)</translation>
    </message>
    <message>
        <source>Clean all data cached locally in %1</source>
        <translation>Alle in %1 zwischengespeicherten Daten löschen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über VUX</translation>
    </message>
    <message>
        <source>&lt;h3&gt;VUX %1&lt;/h3&gt;&lt;hr&gt;&lt;p&gt;VUX, Vuxtool, is a graphical user interface which allows a user to make modifications to the installed rpm packages on a system.&lt;/p&gt;&lt;p&gt;Capabilities:&lt;p&gt;&lt;ul&gt;&lt;li&gt;Install new packages or update existing packages by downloading them from a yum package repository&lt;/li&gt;&lt;li&gt;Remove existing packages.&lt;/li&gt;&lt;li&gt;Configure sets of repositories from which to obtain new and updated packages.&lt;/li&gt;&lt;li&gt;Examine installed packages or packages available for installation or update&lt;/li&gt;&lt;li&gt;Install, update, or remove groups of packages&lt;/li&gt;&lt;li&gt;Install or update suites of packages&lt;/li&gt;&lt;/ul&gt;</source>
        <translation>&lt;h3&gt;VUX %1&lt;/h3&gt;&lt;hr&gt;&lt;p&gt;VUX, Vuxtool, ist eine grafische Benutzeroberfläche, mit der die auf einem System installierten RPM-Pakete verändert werden können.&lt;/p&gt;&lt;p&gt;Fähigkeiten:&lt;p&gt;&lt;ul&gt;&lt;li&gt;Neue Pakete installieren oder vorhandene Pakete aktualisieren, indem sie aus einer yum-Paketquelle heruntergeladen werden&lt;/li&gt;&lt;li&gt;Vorhandene Pakete entfernen.&lt;/li&gt;&lt;li&gt;Paketquellen einrichten, aus denen neue und aktualisierte Pakete bezogen werden.&lt;/li&gt;&lt;li&gt;Installierte Pakete und zur Installation oder Aktualisierung verfügbare Pakete untersuchen&lt;/li&gt;&lt;li&gt;Paketgruppen installieren, aktualisieren oder entfernen&lt;/li&gt;&lt;li&gt;Paketsammlungen installieren oder aktualisieren&lt;/li&gt;&lt;/ul&gt;</translation>
    </message>
    <message>
        <source>Regular expression to compare to all fields of a package</source>
        <translation>Regulärer Ausdruck, der mit allen Feldern eines Pakets verglichen wird</translation>
    </message>
    <message>
        <source>Perform the search for the regular expression specified to the left</source>
        <translation>Nach dem links angegebenen regulären Ausdruck suchen</translation>
    </message>
    <message>
        <source>Regular expression filter matching textual fields visible in the table</source>
        <translation>Regulärer Ausdruck, der die sichtbaren Textfelder der Tabelle filtert</translation>
    </message>
    <message>
        <source>Apply the filter specified to the left</source>
        <translation>Den links angegebenen Filter anwenden</translation>
    </message>
    <message>
        <source>%1 (Must load extra data.)</source>
        <translation>%1 (Lädt zusätzliche Daten.)</translation>
    </message>
    <message>
        <source>Pattern use</source>
        <translation>Mustersuche</translation>
    </message>
    <message>
        <source>Pattern</source>
        <translation>Muster</translation>
    </message>
    <message>
        <source>Packages shown</source>
        <translation>Angezeigte Pakete</translation>
    </message>
    <message>
        <source>Sort &amp;by</source>
        <translation>&amp;Sortieren nach</translation>
    </message>
    <message>
        <source>VUX</source>
        <translation>VUX</translation>
    </message>
    <message>
        <source>Stop the current operation and quit?</source>
        <translation>Den laufenden Vorgang abbrechen und das Programm beenden?</translation>
    </message>
    <message>
        <source>Stopping at the user&apos;s request</source>
        <translation>Abbruch auf Wunsch des Benutzers</translation>
    </message>
    <message>
        <source>Not a valid regular expression (%1): nothing is hidden</source>
        <translation>Kein gültiger regulärer Ausdruck (%1): Es wird nichts ausgeblendet</translation>
    </message>
    <message>
        <source>The transaction is running and cannot be stopped.
Quit when it has ended?</source>
        <translation>Die Transaktion läuft und kann nicht angehalten werden.
Beenden, sobald sie abgeschlossen ist?</translation>
    </message>
    <message>
        <source>&amp;Export Marks...</source>
        <translation>Vormerkungen &amp;exportieren...</translation>
    </message>
    <message>
        <source>Write the marked actions to a text file, to mark them again here or elsewhere</source>
        <translation>Die vorgemerkten Aktionen in eine Textdatei schreiben, um sie hier oder anderswo erneut vorzumerken</translation>
    </message>
    <message>
        <source>&amp;Import Marks...</source>
        <translation>Vormerkungen &amp;importieren...</translation>
    </message>
    <message>
        <source>Mark the actions a file of marks names</source>
        <translation>Die Aktionen vormerken, die eine Vormerkungsdatei nennt</translation>
    </message>
    <message>
        <source>&amp;Reset Layout</source>
        <translation>Anordnung &amp;zurücksetzen</translation>
    </message>
    <message>
        <source>Forget the remembered window size, view, sort order and column widths</source>
        <translation>Die gespeicherte Fenstergröße, Ansicht, Sortierung und Spaltenbreiten vergessen</translation>
    </message>
    <message>
        <source>What Provides</source>
        <translation>Bereitsteller finden</translation>
    </message>
    <message>
        <source>View Security Updates</source>
        <translation>Sicherheitsaktualisierungen zeigen</translation>
    </message>
    <message>
        <source>Filter for those packages which are eligible for updating,
for installing, or for removing; or show all packages;
or the updates that have a security advisory</source>
        <translation>Die Pakete zeigen, die aktualisiert,
installiert oder entfernt werden können; oder alle Pakete;
oder die Aktualisierungen mit einem Sicherheitshinweis</translation>
    </message>
    <message>
        <source>Ign&amp;ore Case</source>
        <translation>Groß-/Kleinschreibung ign&amp;orieren</translation>
    </message>
    <message>
        <source>Whether Filter and Search match letters regardless of their case</source>
        <translation>Ob Filtern und Suchen Buchstaben unabhängig von Groß- und Kleinschreibung vergleichen</translation>
    </message>
    <message>
        <source>Set Securit&amp;y Updates</source>
        <translation>Sicherheitsaktualisierungen &amp;vormerken</translation>
    </message>
    <message>
        <source>Sets the Action for all packages which are Installed but Out-of-date and have a security advisory
to Update. Does not Apply Actions automatically.</source>
        <translation>Setzt die Aktion aller installierten, aber veralteten Pakete mit einem Sicherheitshinweis
auf Aktualisieren. Führt die Aktionen nicht selbst aus.</translation>
    </message>
    <message>
        <source>Packages marked for an action that has not been applied: %1.
Quit without applying?</source>
        <translation>Pakete mit vorgemerkter, noch nicht ausgeführter Aktion: %1.
Möchten Sie beenden, ohne die Aktionen auszuführen?</translation>
    </message>
    <message>
        <source>Packages marked for an action that has not been applied: %1.
Cleaning collects the package lists again; packages no longer listed afterwards lose their marks.
Clean the cache?</source>
        <translation>Pakete mit vorgemerkter, noch nicht ausgeführter Aktion: %1.
Beim Leeren werden die Paketlisten neu gesammelt; Pakete, die danach nicht mehr aufgeführt sind, verlieren ihre Vormerkung.
Möchten Sie den Zwischenspeicher leeren?</translation>
    </message>
    <message>
        <source>Cleaned the cache in %1: %2</source>
        <translation>Zwischenspeicher in %1 geleert: %2</translation>
    </message>
    <message>
        <source>Marks dropped (the package is gone, or its action no longer applies): %1</source>
        <translation>Vormerkungen verworfen (das Paket ist nicht mehr vorhanden oder seine Aktion trifft nicht mehr zu): %1</translation>
    </message>
    <message>
        <source>The PDF manual is not installed: there is no file %1.</source>
        <translation>Das PDF-Handbuch ist nicht installiert: Die Datei %1 ist nicht vorhanden.</translation>
    </message>
    <message>
        <source>The PDF manual %1 cannot be opened:
%2</source>
        <translation>Das PDF-Handbuch %1 kann nicht geöffnet werden:
%2</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>The same manual can be read inside VUX.</source>
        <translation>Dasselbe Handbuch lässt sich in VUX lesen.</translation>
    </message>
    <message>
        <source>&amp;Show Manual</source>
        <translation>Handbuch &amp;anzeigen</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Finden</translation>
    </message>
    <message>
        <source>Capability or file whose providers to find, such as /usr/bin/xz or libfoo.so.1()(64bit);
shell wildcards (* ? [...]) are allowed</source>
        <translation>Fähigkeit oder Datei, deren Bereitsteller gesucht werden, etwa /usr/bin/xz oder libfoo.so.1()(64bit);
Shell-Platzhalter (* ? [...]) sind erlaubt</translation>
    </message>
    <message>
        <source>Show the packages that provide the capability or file named to the left</source>
        <translation>Die Pakete zeigen, die die links genannte Fähigkeit oder Datei bereitstellen</translation>
    </message>
    <message>
        <source>Export Marks</source>
        <translation>Vormerkungen exportieren</translation>
    </message>
    <message>
        <source>Marks (*.txt);;All files (*)</source>
        <translation>Vormerkungen (*.txt);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Import Marks</source>
        <translation>Vormerkungen importieren</translation>
    </message>
    <message>
        <source>Specify the method for using a regular expression to select packages in the table:
	Filter uses the textual fields visible in the table, as if they were separated by spaces.
	Search uses all fields in packages, including list of Files, Change Log, Requires, etc.,
	independently.  It is considerably slower.
	What Provides shows the packages that provide a capability or file (not a regular expression).</source>
        <translation>Die Methode wählen, mit der ein regulärer Ausdruck Pakete in der Tabelle auswählt:
	Filtern verwendet die in der Tabelle sichtbaren Textfelder, als wären sie durch Leerzeichen getrennt.
	Suchen verwendet alle Felder der Pakete, einschließlich Dateiliste, Änderungsprotokoll, Benötigt usw.,
	jedes für sich.  Das ist deutlich langsamer.
	Bereitsteller finden zeigt die Pakete, die eine Fähigkeit oder Datei bereitstellen (kein regulärer Ausdruck).</translation>
    </message>
    <message>
        <source>&amp;History</source>
        <translation>&amp;Verlauf</translation>
    </message>
    <message>
        <source>Ctrl+H</source>
        <translation>Ctrl+H</translation>
    </message>
    <message>
        <source>The package manager&apos;s transactions, with Undo and Roll Back</source>
        <translation>Die Transaktionen der Paketverwaltung, mit Rückgängig und Zurückkehren</translation>
    </message>
    <message>
        <source>Loading the package manager: the table shows the packages as they were at the last start</source>
        <translation>Die Paketverwaltung wird geladen: die Tabelle zeigt die Pakete wie beim letzten Start</translation>
    </message>
    <message>
        <source>(loading)</source>
        <translation>(wird geladen)</translation>
    </message>
    <message>
        <source>The package list could not be cached: %1</source>
        <translation>Die Paketliste konnte nicht zwischengespeichert werden: %1</translation>
    </message>
    <message>
        <source>Packages marked for an action that has not been applied: %1.
The package lists are collected again afterwards; packages that can no longer take their marks lose them.
Go on?</source>
        <translation>Pakete mit Vormerkungen, die noch nicht ausgeführt wurden: %1.
Die Paketlisten werden danach neu erfasst; Pakete, die ihre Vormerkung nicht mehr annehmen können, verlieren sie.
Möchten Sie fortfahren?</translation>
    </message>
</context>
<context>
    <name>PackageTable::ActionContextMenu</name>
    <message>
        <source>Action</source>
        <translation>Aktion</translation>
    </message>
    <message>
        <source>&amp;Update</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
    <message>
        <source>&amp;Install</source>
        <translation>&amp;Installieren</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>&amp;No Action</source>
        <translation>&amp;Keine Aktion</translation>
    </message>
</context>
<context>
    <name>PackageTable::Describe::Dialog</name>
    <message>
        <source>VUX Package Description</source>
        <translation>VUX-Paketbeschreibung</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>PackageTable::Describe::Instance::Area</name>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Repository</source>
        <translation>Paketquelle</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Repository Details</source>
        <translation>Details der Paketquelle</translation>
    </message>
    <message>
        <source>Architecture</source>
        <translation>Architektur</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Summary</source>
        <translation>Zusammenfassung</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Gruppe</translation>
    </message>
    <message>
        <source>Vendor</source>
        <translation>Anbieter</translation>
    </message>
    <message>
        <source>Build Time</source>
        <translation>Erstellungszeit</translation>
    </message>
    <message>
        <source>Build Host</source>
        <translation>Erstellungsrechner</translation>
    </message>
    <message>
        <source>Install Time</source>
        <translation>Installationszeit</translation>
    </message>
    <message>
        <source>Binary RPM</source>
        <translation>Binär-RPM</translation>
    </message>
    <message>
        <source>Source RPM</source>
        <translation>Quell-RPM</translation>
    </message>
    <message>
        <source>License</source>
        <translation>Lizenz</translation>
    </message>
    <message>
        <source>Packager</source>
        <translation>Paketersteller</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Relocations</source>
        <translation>Verschiebungen</translation>
    </message>
    <message>
        <source>Provides</source>
        <translation>Stellt bereit</translation>
    </message>
    <message>
        <source>Requires</source>
        <translation>Benötigt</translation>
    </message>
    <message>
        <source>Conflicts</source>
        <translation>Steht in Konflikt mit</translation>
    </message>
    <message>
        <source>Obsoletes</source>
        <translation>Ersetzt</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>Change Log</source>
        <translation>Änderungsprotokoll</translation>
    </message>
    <message>
        <source>Required Groups</source>
        <translation>Benötigte Gruppen</translation>
    </message>
    <message>
        <source>Default MetaPkgs</source>
        <translation>Standard-Metapakete</translation>
    </message>
    <message>
        <source>Optional MetaPkgs</source>
        <translation>Optionale Metapakete</translation>
    </message>
    <message>
        <source>Mandatory Packages</source>
        <translation>Pflichtpakete</translation>
    </message>
    <message>
        <source>Default Packages</source>
        <translation>Standardpakete</translation>
    </message>
    <message>
        <source>Optional Packages</source>
        <translation>Optionale Pakete</translation>
    </message>
    <message>
        <source>Conditional Packages</source>
        <translation>Bedingte Pakete</translation>
    </message>
    <message>
        <source>%1:</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>%1 (must load extra data)</source>
        <translation>%1 (lädt zusätzliche Daten)</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>%1 %2 File List</source>
        <translation>Dateiliste von %1 %2</translation>
    </message>
    <message>
        <source>%1 %2 Change Log</source>
        <translation>Änderungsprotokoll von %1 %2</translation>
    </message>
    <message>
        <source>Replaced by</source>
        <translation>Ersetzt durch</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Security (no severity given)</source>
        <translation>Sicherheitshinweis (ohne Schweregrad)</translation>
    </message>
    <message>
        <source>&lt;b&gt;%1&lt;/b&gt; %2, updated %3</source>
        <translation>&lt;b&gt;%1&lt;/b&gt; %2, aktualisiert %3</translation>
    </message>
    <message>
        <source>References: %1</source>
        <translation>Verweise: %1</translation>
    </message>
    <message>
        <source>Advisory</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The reference cannot be opened in a web browser:
%1

Its URL: %2</source>
        <translation>Der Verweis kann nicht in einem Webbrowser geöffnet werden:
%1

Seine URL: %2</translation>
    </message>
    <message>
        <source>Show Installed</source>
        <translation>Installierte anzeigen</translation>
    </message>
    <message>
        <source>Show Available</source>
        <translation>Verfügbare anzeigen</translation>
    </message>
    <message>
        <source>Required By: Show Installed</source>
        <translation>Benötigt von: Installierte anzeigen</translation>
    </message>
    <message>
        <source>Required By: Show Available</source>
        <translation>Benötigt von: Verfügbare anzeigen</translation>
    </message>
    <message>
        <source>Required By</source>
        <translation>Benötigt von</translation>
    </message>
    <message>
        <source>No installed package requires %1.</source>
        <translation>Kein installiertes Paket benötigt %1.</translation>
    </message>
    <message>
        <source>No available package requires %1.</source>
        <translation>Kein verfügbares Paket benötigt %1.</translation>
    </message>
    <message>
        <source>%1 Required By (installed packages)</source>
        <translation>Installierte Pakete, die %1 benötigen</translation>
    </message>
    <message>
        <source>%1 Required By (available packages)</source>
        <translation>Verfügbare Pakete, die %1 benötigen</translation>
    </message>
</context>
<context>
    <name>PackageTable::Describe::Instance::RepoDialog</name>
    <message>
        <source>VUX Repository Description</source>
        <translation>VUX-Paketquellenbeschreibung</translation>
    </message>
    <message>
        <source>Browse Repository</source>
        <translation>Paketquelle im Browser öffnen</translation>
    </message>
    <message>
        <source>Browse the first URL specified for the selected repository using an external web browser</source>
        <translation>Die erste URL der gewählten Paketquelle in einem externen Webbrowser öffnen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>%1:</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>URLs</source>
        <translation>URLs</translation>
    </message>
    <message>
        <source>Mirror list URL</source>
        <translation>URL der Spiegelliste</translation>
    </message>
</context>
<context>
    <name>PackageTable::Marks</name>
    <message>
        <source>VUX Marks</source>
        <translation>VUX-Vormerkungen</translation>
    </message>
    <message>
        <source>Line %1: %2: %3</source>
        <translation>Zeile %1: %2: %3</translation>
    </message>
    <message>
        <source>no such group here</source>
        <translation>diese Gruppe gibt es hier nicht</translation>
    </message>
    <message>
        <source>no such package here</source>
        <translation>dieses Paket gibt es hier nicht</translation>
    </message>
    <message>
        <source>already installed</source>
        <translation>bereits installiert</translation>
    </message>
    <message>
        <source>no update available</source>
        <translation>keine Aktualisierung verfügbar</translation>
    </message>
    <message>
        <source>not installed</source>
        <translation>nicht installiert</translation>
    </message>
    <message>
        <source>version %1 is not offered here (%2 is)</source>
        <translation>Version %1 wird hier nicht angeboten (nur %2)</translation>
    </message>
    <message>
        <source>The marks could not be written to %1: %2</source>
        <translation>Die Vormerkungen konnten nicht in %1 geschrieben werden: %2</translation>
    </message>
    <message>
        <source>the file is too large to be a list of marks</source>
        <translation>die Datei ist zu groß für eine Liste von Vormerkungen</translation>
    </message>
    <message>
        <source>Nothing was marked: %1 could not be read.
%2</source>
        <translation>Nichts wurde vorgemerkt: %1 konnte nicht gelesen werden.
%2</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more</source>
        <translation>
            <numerusform>... und %n weitere</numerusform>
            <numerusform>... und %n weitere</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n line(s) of %1 name what cannot be marked here; the other marks were set.</source>
        <translation>
            <numerusform>%n Zeile von %1 nennt, was hier nicht vorgemerkt werden kann; die übrigen Vormerkungen wurden gesetzt.</numerusform>
            <numerusform>%n Zeilen von %1 nennen, was hier nicht vorgemerkt werden kann; die übrigen Vormerkungen wurden gesetzt.</numerusform>
        </translation>
    </message>
    <message>
        <source>Line %1 is not an action and a package (install, update, remove, reinstall or downgrade NAME): %2</source>
        <translation>Zeile %1 ist keine Aktion mit Paket (install, update, remove, reinstall oder downgrade NAME): %2</translation>
    </message>
    <message>
        <source>no repository has the installed version</source>
        <translation>keine Paketquelle hat die installierte Version</translation>
    </message>
    <message>
        <source>no repository has version %1 to downgrade to</source>
        <translation>keine Paketquelle hat die Version %1 zum Zurückstufen</translation>
    </message>
</context>
<context>
    <name>PackageTable::Model</name>
    <message>
        <source>Update package</source>
        <translation>Paket aktualisieren</translation>
    </message>
    <message>
        <source>Install package</source>
        <translation>Paket installieren</translation>
    </message>
    <message>
        <source>Remove package</source>
        <translation>Paket entfernen</translation>
    </message>
    <message>
        <source>Package is available to update an out-of-date version</source>
        <translation>Das Paket ist als Aktualisierung einer veralteten Version verfügbar</translation>
    </message>
    <message>
        <source>Package is available for installation</source>
        <translation>Das Paket ist zur Installation verfügbar</translation>
    </message>
    <message>
        <source>Package is installed and up-to-date</source>
        <translation>Das Paket ist installiert und aktuell</translation>
    </message>
    <message>
        <source>Suite of packages</source>
        <translation>Paketsammlung</translation>
    </message>
    <message>
        <source>Group of packages</source>
        <translation>Paketgruppe</translation>
    </message>
    <message>
        <source>Ordinary package</source>
        <translation>Einzelnes Paket</translation>
    </message>
    <message>
        <source>Installed: %1
</source>
        <translation>Installiert: %1
</translation>
    </message>
    <message>
        <source>Available: %1
</source>
        <translation>Verfügbar: %1
</translation>
    </message>
    <message>
        <source>Action</source>
        <translation>Aktion</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Repository</source>
        <translation>Paketquelle</translation>
    </message>
    <message>
        <source>Architecture</source>
        <translation>Architektur</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Build Time</source>
        <translation>Erstellungszeit</translation>
    </message>
    <message>
        <source>Action to be performed on the package, if any: Update, Install, Remove</source>
        <translation>Aktion, die gegebenenfalls mit dem Paket ausgeführt wird: Aktualisieren, Installieren, Entfernen</translation>
    </message>
    <message>
        <source>Indicates whether the package is Installed or not and, if installed, whether it is Up-to-date or not</source>
        <translation>Zeigt, ob das Paket installiert ist und, falls ja, ob es aktuell ist</translation>
    </message>
    <message>
        <source>Whether the package is an ordinary package, a suite of packages, or a group of packages</source>
        <translation>Ob es sich um ein einzelnes Paket, eine Paketsammlung oder eine Paketgruppe handelt</translation>
    </message>
    <message>
        <source>Name of the package</source>
        <translation>Name des Pakets</translation>
    </message>
    <message>
        <source>Version and release of the package as version-release;
If the Epoch is non-zero, includes it as epoch:version-release</source>
        <translation>Version und Release des Pakets als Version-Release;
ist die Epoche nicht null, wird sie als Epoche:Version-Release angegeben</translation>
    </message>
    <message>
        <source>Repository from which the most recent version of the package is available</source>
        <translation>Paketquelle, aus der die neueste Version des Pakets verfügbar ist</translation>
    </message>
    <message>
        <source>Architecture for which the package is applicable, or &quot;noarch&quot; for general-purpose packages</source>
        <translation>Architektur, für die das Paket bestimmt ist, oder „noarch“ für architekturunabhängige Pakete</translation>
    </message>
    <message>
        <source>Size of the package</source>
        <translation>Größe des Pakets</translation>
    </message>
    <message>
        <source>Date and time at which the package was created</source>
        <translation>Datum und Uhrzeit der Erstellung des Pakets</translation>
    </message>
    <message>
        <source>Security (Low)</source>
        <translation>Sicherheitshinweis (niedrig)</translation>
    </message>
    <message>
        <source>Security (Moderate)</source>
        <translation>Sicherheitshinweis (mittel)</translation>
    </message>
    <message>
        <source>Security (Important)</source>
        <translation>Sicherheitshinweis (wichtig)</translation>
    </message>
    <message>
        <source>Security (Critical)</source>
        <translation>Sicherheitshinweis (kritisch)</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Sicherheitshinweis</translation>
    </message>
    <message>
        <source>Bug fix</source>
        <translation>Fehlerbehebung</translation>
    </message>
    <message>
        <source>Enhancement</source>
        <translation>Erweiterung</translation>
    </message>
    <message>
        <source>New package</source>
        <translation>Neues Paket</translation>
    </message>
    <message>
        <source>Other advisory</source>
        <translation>Sonstiger Hinweis</translation>
    </message>
    <message>
        <source>An older version of the package, installed beside a newer one</source>
        <translation>Eine ältere Version des Pakets, neben einer neueren installiert</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Replaced by: %1 %2
</source>
        <translation>Ersetzt durch: %1 %2
</translation>
    </message>
    <message>
        <source>Advisory</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>The most pressing advisory of an update: Security (with its severity), Bug fix or Enhancement</source>
        <translation>Der dringendste Hinweis einer Aktualisierung: Sicherheitshinweis (mit Schweregrad), Fehlerbehebung oder Erweiterung</translation>
    </message>
    <message>
        <source>Reinstall package</source>
        <translation>Paket neu installieren</translation>
    </message>
    <message>
        <source>Downgrade package to %1</source>
        <translation>Paket auf %1 zurückstufen</translation>
    </message>
    <message>
        <source>Package is held at version %1 (version lock): its update is held back</source>
        <translation>Paket ist auf Version %1 festgehalten (Versionssperre): seine Aktualisierung wird zurückgehalten</translation>
    </message>
    <message>
        <source>Package is held at version %1 (version lock): no other version is installed</source>
        <translation>Paket ist auf Version %1 festgehalten (Versionssperre): keine andere Version wird installiert</translation>
    </message>
</context>
<context>
    <name>PackageTable::OtherContextMenu</name>
    <message>
        <source>Package</source>
        <translation>Paket</translation>
    </message>
    <message>
        <source>&amp;Describe</source>
        <translation>&amp;Beschreiben</translation>
    </message>
    <message>
        <source>Browse Repository</source>
        <translation>Paketquelle im Browser öffnen</translation>
    </message>
    <message>
        <source>Release &amp;Hold</source>
        <translation>&amp;Festhalten aufheben</translation>
    </message>
    <message>
        <source>&amp;Hold at Installed Version</source>
        <translation>Auf installierter Version &amp;festhalten</translation>
    </message>
    <message>
        <source>Let the package be updated and downgraded again</source>
        <translation>Das Paket wieder aktualisieren und zurückstufen lassen</translation>
    </message>
    <message>
        <source>Keep the package at its installed version: it is not updated, by this program or by dnf, until released</source>
        <translation>Das Paket auf seiner installierten Version halten: es wird weder von diesem Programm noch von dnf aktualisiert, bis es freigegeben wird</translation>
    </message>
</context>
<context>
    <name>PackageTable::StatusLine</name>
    <message>
        <source>Package counts</source>
        <translation>Paketzahlen</translation>
    </message>
    <message>
        <source>Updatable: %1</source>
        <translation>Aktualisierbar: %1</translation>
    </message>
    <message>
        <source>Updatable: %1 (%2 security)</source>
        <translation>Aktualisierbar: %1 (%2 sicherheitsrelevant)</translation>
    </message>
    <message>
        <source>Marked: %1</source>
        <translation>Vorgemerkt: %1</translation>
    </message>
    <message>
        <source>Marked: %1 (%2 to download)</source>
        <translation>Vorgemerkt: %1 (%2 herunterzuladen)</translation>
    </message>
    <message>
        <source>%1    Installed: %2    Available: %3    %4</source>
        <translation>%1    Installiert: %2    Verfügbar: %3    %4</translation>
    </message>
</context>
<context>
    <name>PackageTable::VersionActions</name>
    <message>
        <source>R&amp;einstall</source>
        <translation>Neu insta&amp;llieren</translation>
    </message>
    <message>
        <source>Do&amp;wngrade to</source>
        <translation>&amp;Zurückstufen auf</translation>
    </message>
    <message>
        <source>No repository has the installed version</source>
        <translation>Keine Paketquelle hat die installierte Version</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>The package is held: release it first</source>
        <translation>Das Paket ist festgehalten: heben Sie das zuerst auf</translation>
    </message>
    <message>
        <source>No repository has an older version</source>
        <translation>Keine Paketquelle hat eine ältere Version</translation>
    </message>
</context>
<context>
    <name>PackageTable::View</name>
    <message>
        <source>Packages</source>
        <translation>Pakete</translation>
    </message>
    <message>
        <source>Packages, groups and suites with their actions; Space changes the action of the current row, the menu key opens its menu</source>
        <translation>Pakete, Gruppen und Sammlungen mit ihren Aktionen; die Leertaste ändert die Aktion der aktuellen Zeile, die Menütaste öffnet ihr Menü</translation>
    </message>
    <message>
        <source>Ctrl+%1</source>
        <translation>Ctrl+%1</translation>
    </message>
    <message>
        <source>Sort the table by this column; again to reverse the order</source>
        <translation>Die Tabelle nach dieser Spalte sortieren; erneut, um die Reihenfolge umzukehren</translation>
    </message>
</context>
<context>
    <name>QDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>QDialogButtonBox</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>#fffacd</source>
        <translation>#fffacd</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>blue</translation>
    </message>
    <message>
        <source>red</source>
        <translation>red</translation>
    </message>
    <message>
        <source>#ffa9b8</source>
        <translation>#ffa9b8</translation>
    </message>
    <message>
        <source>darkorange</source>
        <translation>darkorange</translation>
    </message>
    <message>
        <source>#8b5a2b</source>
        <translation>#8b5a2b</translation>
    </message>
    <message>
        <source>#ffbd94</source>
        <translation>#ffbd94</translation>
    </message>
    <message>
        <source>green</source>
        <translation>green</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>fork() failed; errno = %1 (%2)</source>
        <translation>fork() ist fehlgeschlagen; errno = %1 (%2)</translation>
    </message>
    <message>
        <source>Helvetica</source>
        <translation>Helvetica</translation>
    </message>
    <message>
        <source>Courier</source>
        <translation>Courier</translation>
    </message>
    <message>
        <source>%1 cannot be run: %2</source>
        <translation>%1 kann nicht ausgeführt werden: %2</translation>
    </message>
    <message>
        <source>%1 did not answer</source>
        <translation>%1 hat nicht geantwortet</translation>
    </message>
    <message>
        <source>%1 refused, with status %2</source>
        <translation>%1 hat abgelehnt, mit Status %2</translation>
    </message>
</context>
<context>
    <name>RepoAuth::Dialog</name>
    <message>
        <source>VUX Authentication</source>
        <translation>VUX-Authentifizierung</translation>
    </message>
    <message>
        <source>Some configured repositories require authentication</source>
        <translation>Einige eingerichtete Paketquellen erfordern eine Authentifizierung</translation>
    </message>
    <message>
        <source>Identifier</source>
        <translation>Kennung</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>URLs</source>
        <translation>URLs</translation>
    </message>
    <message>
        <source>Mirror list URL</source>
        <translation>URL der Spiegelliste</translation>
    </message>
    <message>
        <source>Authentication name</source>
        <translation>Benutzername</translation>
    </message>
    <message>
        <source>Authentication name for a repository using the larder authentication method</source>
        <translation>Benutzername für eine Paketquelle mit dem Authentifizierungsverfahren Larder</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Authentication password</source>
        <translation>Passwort für die Authentifizierung</translation>
    </message>
    <message>
        <source>Authentication password for a repository using the larder authentication method</source>
        <translation>Passwort für eine Paketquelle mit dem Authentifizierungsverfahren Larder</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Disable for Session</source>
        <translation>Für diese Sitzung deaktivieren</translation>
    </message>
    <message>
        <source>Skip All</source>
        <translation>Alle überspringen</translation>
    </message>
    <message>
        <source>Apply to All</source>
        <translation>Auf alle anwenden</translation>
    </message>
    <message>
        <source>Apply to All with this Host</source>
        <translation>Auf alle mit diesem Rechner anwenden</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>%1:</source>
        <translation>%1:</translation>
    </message>
</context>
<context>
    <name>RepoBrowse</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Repository configuration has no URL</source>
        <translation>Die Konfiguration der Paketquelle enthält keine URL</translation>
    </message>
    <message>
        <source>The repository cannot be opened in a web browser:
%1

Its URL: %2</source>
        <translation>Die Paketquelle kann nicht in einem Webbrowser geöffnet werden:
%1

Ihre URL: %2</translation>
    </message>
</context>
<context>
    <name>RepoEditor::Config</name>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>Identifier</source>
        <translation>Kennung</translation>
    </message>
    <message>
        <source>Unique identifier for the repository</source>
        <translation>Eindeutige Kennung der Paketquelle</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Description of the repository</source>
        <translation>Beschreibung der Paketquelle</translation>
    </message>
    <message>
        <source>URLs</source>
        <translation>URLs</translation>
    </message>
    <message>
        <source>List of URLs to the repository.
If more than one is specified, they all should be identical mirrors,
and will provide redundancy if some URLs are unreachable.</source>
        <translation>Liste der URLs der Paketquelle.
Werden mehrere angegeben, sollten alle identische Spiegelserver sein;
sie springen füreinander ein, wenn einige URLs nicht erreichbar sind.</translation>
    </message>
    <message>
        <source>Mirror list URL</source>
        <translation>URL der Spiegelliste</translation>
    </message>
    <message>
        <source>URL to a file containing a list of URLs to the repository.</source>
        <translation>URL einer Datei, die eine Liste der URLs der Paketquelle enthält.</translation>
    </message>
    <message>
        <source>Larder Authentication</source>
        <translation>Larder-Authentifizierung</translation>
    </message>
    <message>
        <source>Larder Authentication Name</source>
        <translation>Larder-Benutzername</translation>
    </message>
    <message>
        <source>Authentication name for a repository using the larder authentication method</source>
        <translation>Benutzername für eine Paketquelle mit dem Authentifizierungsverfahren Larder</translation>
    </message>
    <message>
        <source>Larder Authentication Password</source>
        <translation>Larder-Passwort</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Authentication password for a repository using the larder authentication method</source>
        <translation>Passwort für eine Paketquelle mit dem Authentifizierungsverfahren Larder</translation>
    </message>
    <message>
        <source>Repository Options</source>
        <translation>Optionen der Paketquelle</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Aktiviert</translation>
    </message>
    <message>
        <source>Check GPG Keys</source>
        <translation>GPG-Schlüssel prüfen</translation>
    </message>
    <message>
        <source>Whether or not the repository is enabled for use</source>
        <translation>Ob die Paketquelle zur Verwendung aktiviert ist</translation>
    </message>
    <message>
        <source>Whether or not GPG key signatures of packages from the repository are checked to ensure authenticity</source>
        <translation>Ob die GPG-Signaturen der Pakete aus dieser Paketquelle geprüft werden, um ihre Echtheit sicherzustellen</translation>
    </message>
    <message>
        <source>Other Options</source>
        <translation>Weitere Optionen</translation>
    </message>
    <message>
        <source>Other Options:</source>
        <translation>Weitere Optionen:</translation>
    </message>
    <message>
        <source>Any other yum options for this repository.  See yum.conf(5)</source>
        <translation>Beliebige weitere yum-Optionen für diese Paketquelle.  Siehe yum.conf(5)</translation>
    </message>
    <message>
        <source>Configuration File (expert)</source>
        <translation>Konfigurationsdatei (für Fortgeschrittene)</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Sort Position</source>
        <translation>Sortierposition</translation>
    </message>
    <message>
        <source>Name of the yum configuration file into which to place this repository configuration.
If left blank, defaults to the repository&apos;s identifier</source>
        <translation>Name der yum-Konfigurationsdatei, in die diese Paketquellen-Konfiguration geschrieben wird.
Bleibt das Feld leer, wird die Kennung der Paketquelle verwendet</translation>
    </message>
    <message>
        <source>A numeric sort key which determines the order of this repository configuration
in a configuration file which contains multiple configurations</source>
        <translation>Ein numerischer Sortierschlüssel, der die Reihenfolge dieser Paketquellen-Konfiguration
in einer Konfigurationsdatei mit mehreren Konfigurationen bestimmt</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>(Yes)</source>
        <translation>(Ja)</translation>
    </message>
    <message>
        <source>(No)</source>
        <translation>(Nein)</translation>
    </message>
    <message>
        <source>No Identifier specified</source>
        <translation>Keine Kennung angegeben</translation>
    </message>
    <message>
        <source>No URLs or Mirror list URL specified</source>
        <translation>Weder URLs noch eine URL der Spiegelliste angegeben</translation>
    </message>
    <message>
        <source>File is not in any reposdir directory</source>
        <translation>Die Datei liegt in keinem reposdir-Verzeichnis</translation>
    </message>
    <message>
        <source>File lacks .repo suffix</source>
        <translation>Dem Dateinamen fehlt die Endung .repo</translation>
    </message>
    <message>
        <source>No Larder Authentication Name specified</source>
        <translation>Kein Larder-Benutzername angegeben</translation>
    </message>
    <message>
        <source>No Larder Authentication Password specified</source>
        <translation>Kein Larder-Passwort angegeben</translation>
    </message>
    <message>
        <source>a blank</source>
        <translation>ein Leerzeichen</translation>
    </message>
    <message>
        <source>The Identifier may hold only letters, digits and - _ . : (not %1)</source>
        <translation>Die Kennung darf nur Buchstaben, Ziffern und - _ . : enthalten (nicht %1)</translation>
    </message>
</context>
<context>
    <name>RepoEditor::ConfigDialog</name>
    <message>
        <source>VUX Repository Configuration</source>
        <translation>VUX-Paketquellen-Konfiguration</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Undo changes to this repository configuration</source>
        <translation>Änderungen an dieser Paketquellen-Konfiguration verwerfen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Undo changes to this repository configuration and close the window</source>
        <translation>Änderungen an dieser Paketquellen-Konfiguration verwerfen und das Fenster schließen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Apply changes to all repository configurations, and close the window</source>
        <translation>Änderungen an allen Paketquellen-Konfigurationen anwenden und das Fenster schließen</translation>
    </message>
</context>
<context>
    <name>RepoEditor::ContextMenu</name>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Browse Repository</source>
        <translation>Paketquelle im Browser öffnen</translation>
    </message>
</context>
<context>
    <name>RepoEditor::Dialog</name>
    <message>
        <source>VUX Repository Configuration Editor</source>
        <translation>VUX-Paketquellen-Editor</translation>
    </message>
    <message>
        <source>Browse Repository</source>
        <translation>Paketquelle im Browser öffnen</translation>
    </message>
    <message>
        <source>Browse the first URL specified for the selected repository using an external web browser</source>
        <translation>Die erste URL der gewählten Paketquelle in einem externen Webbrowser öffnen</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Edit the selected repository configuration</source>
        <translation>Die gewählte Paketquellen-Konfiguration bearbeiten</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Create a new repository configuration from scratch</source>
        <translation>Eine neue, leere Paketquellen-Konfiguration anlegen</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Create a new repository configuration based on the selected repository</source>
        <translation>Eine neue Paketquellen-Konfiguration auf Grundlage der gewählten Paketquelle anlegen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Remove the selected repository configuration</source>
        <translation>Die gewählte Paketquellen-Konfiguration entfernen</translation>
    </message>
    <message>
        <source>Reset All</source>
        <translation>Alle zurücksetzen</translation>
    </message>
    <message>
        <source>Undo changes to all repository configurations since the last Apply or opening of the dialog</source>
        <translation>Alle Änderungen an den Paketquellen-Konfigurationen seit dem letzten Anwenden oder dem Öffnen des Dialogs verwerfen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Undo changes to all repository configurations since the last Apply or opening of the dialog, and close the window</source>
        <translation>Alle Änderungen an den Paketquellen-Konfigurationen seit dem letzten Anwenden oder dem Öffnen des Dialogs verwerfen und das Fenster schließen</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Apply changes to all repository configurations, but do not close the window</source>
        <translation>Änderungen an allen Paketquellen-Konfigurationen anwenden, das Fenster aber nicht schließen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Apply changes to all repository configurations, and close the window</source>
        <translation>Änderungen an allen Paketquellen-Konfigurationen anwenden und das Fenster schließen</translation>
    </message>
    <message>
        <source>A repository has no Identifier</source>
        <translation>Eine Paketquelle hat keine Kennung</translation>
    </message>
    <message>
        <source>Two or more repositories have the Identifier, %1</source>
        <translation>Mehrere Paketquellen haben die Kennung %1</translation>
    </message>
    <message>
        <source>Unapplied Configuration Changes</source>
        <translation>Nicht angewendete Konfigurationsänderungen</translation>
    </message>
</context>
<context>
    <name>RepoEditor::Model</name>
    <message>
        <source>Repository is enabled for this session</source>
        <translation>Die Paketquelle ist für diese Sitzung aktiviert</translation>
    </message>
    <message>
        <source>Repository is not enabled for this session</source>
        <translation>Die Paketquelle ist für diese Sitzung nicht aktiviert</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Repository is configured to be enabled</source>
        <translation>Die Paketquelle ist als aktiviert eingerichtet</translation>
    </message>
    <message>
        <source>Repository is not configured to be enabled</source>
        <translation>Die Paketquelle ist nicht als aktiviert eingerichtet</translation>
    </message>
    <message>
        <source>(new)</source>
        <translation>(neu)</translation>
    </message>
    <message>
        <source>Sess</source>
        <translation>Sitzung</translation>
    </message>
    <message>
        <source>Perm</source>
        <translation>Dauerhaft</translation>
    </message>
    <message>
        <source>Identifier</source>
        <translation>Kennung</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Whether or not the repository is used during this session.
It overrides the persistent Enabled flag in the repository configuration.</source>
        <translation>Ob die Paketquelle in dieser Sitzung verwendet wird.
Das hat Vorrang vor der dauerhaften Einstellung „Aktiviert“ in der Paketquellen-Konfiguration.</translation>
    </message>
    <message>
        <source>Whether or not the repository is configured to be enabled by default.
It can be overridden for a particular session.</source>
        <translation>Ob die Paketquelle standardmäßig aktiviert ist.
Das lässt sich für eine einzelne Sitzung übersteuern.</translation>
    </message>
    <message>
        <source>Unique identifier for the repository</source>
        <translation>Eindeutige Kennung der Paketquelle</translation>
    </message>
    <message>
        <source>Description of the repository</source>
        <translation>Beschreibung der Paketquelle</translation>
    </message>
</context>
<context>
    <name>RepoEditor::View</name>
    <message>
        <source>Repositories</source>
        <translation>Paketquellen</translation>
    </message>
</context>
<context>
    <name>YumConfIO</name>
    <message>
        <source>Unable to read yum configuration file %1</source>
        <translation>Die yum-Konfigurationsdatei %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Unable to read repository configuration file %1</source>
        <translation>Die Paketquellen-Konfigurationsdatei %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Malformed section name in line: %1</source>
        <translation>Fehlerhafter Abschnittsname in Zeile: %1</translation>
    </message>
    <message>
        <source>Error reading repository configuration file %1</source>
        <translation>Fehler beim Lesen der Paketquellen-Konfigurationsdatei %1</translation>
    </message>
    <message>
        <source>The repository configuration was not read completely, so no repository file is removed, and files that were not read are not rewritten.</source>
        <translation>Die Paketquellen-Konfiguration wurde nicht vollständig gelesen. Daher wird keine Paketquellen-Datei entfernt, und nicht gelesene Dateien werden nicht neu geschrieben.</translation>
    </message>
    <message>
        <source>Repository configuration file %1 was not written: it exists but is not a configuration file that was read, and overwriting it would destroy what it holds. Choose another File for the repositories in it.</source>
        <translation>Die Paketquellen-Konfigurationsdatei %1 wurde nicht geschrieben: Sie existiert, ist aber keine der gelesenen Konfigurationsdateien, und Überschreiben würde ihren Inhalt zerstören. Wählen Sie für die Paketquellen darin eine andere Datei.</translation>
    </message>
    <message>
        <source>Unable to write repository configuration file %1</source>
        <translation>Die Paketquellen-Konfigurationsdatei %1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Unable to unlink repository configuration file %1</source>
        <translation>Die Paketquellen-Konfigurationsdatei %1 kann nicht gelöscht werden</translation>
    </message>
    <message>
        <source>Unable to stat repository configuration file %1</source>
        <translation>Der Status der Paketquellen-Konfigurationsdatei %1 kann nicht abgefragt werden</translation>
    </message>
    <message>
        <source>A repository has no Identifier.  It will be removed.</source>
        <translation>Eine Paketquelle hat keine Kennung.  Sie wird entfernt.</translation>
    </message>
    <message>
        <source>Two or more repositories have the same Identifier(s), %1.  Only one repository will be applied for each Identifier.</source>
        <translation>Mehrere Paketquellen haben dieselbe(n) Kennung(en) %1.  Je Kennung wird nur eine Paketquelle angewendet.</translation>
    </message>
    <message>
        <source>Repository Editor</source>
        <translation>Paketquellen-Editor</translation>
    </message>
    <message>
        <source>  Proceed?</source>
        <translation>  Fortfahren?</translation>
    </message>
    <message>
        <source>; errno = %1 (%2).</source>
        <translation>; errno = %1 (%2).</translation>
    </message>
    <message>
        <source>VUX Repository Editor Error</source>
        <translation>VUX Paketquellen-Editor: Fehler</translation>
    </message>
    <message>
        <source>VUX Repository Editor Warning</source>
        <translation>VUX Paketquellen-Editor: Warnung</translation>
    </message>
</context>
<context>
    <name>YumIO</name>
    <message>
        <source>Unable to release yum lock</source>
        <translation>Die yum-Sperre kann nicht freigegeben werden</translation>
    </message>
    <message>
        <source>Internal error: cannot register python yumIOC module</source>
        <translation>Interner Fehler: Das Python-Modul yumIOC kann nicht registriert werden</translation>
    </message>
    <message>
        <source>Internal error: cannot find python sys module</source>
        <translation>Interner Fehler: Das Python-Modul sys wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Internal error: cannot set python sys.path</source>
        <translation>Interner Fehler: Python-sys.path kann nicht gesetzt werden</translation>
    </message>
    <message>
        <source>Internal error: cannot set python sys.argv</source>
        <translation>Interner Fehler: Python-sys.argv kann nicht gesetzt werden</translation>
    </message>
    <message>
        <source>Internal error: cannot find python rpm module</source>
        <translation>Interner Fehler: Das Python-Modul rpm wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Internal error: cannot find python rpm dict</source>
        <translation>Interner Fehler: Das Python-Wörterbuch von rpm wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Internal error: unable to open YumIO.py</source>
        <translation>Interner Fehler: YumIO.py kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Internal error: unable to execute YumIO.py</source>
        <translation>Interner Fehler: YumIO.py kann nicht ausgeführt werden</translation>
    </message>
    <message>
        <source>Internal error: cannot find python YumIO</source>
        <translation>Interner Fehler: Python-YumIO wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Unable to initialize</source>
        <translation>Initialisierung nicht möglich</translation>
    </message>
    <message>
        <source>Internal error: cannot create python yumIO</source>
        <translation>Interner Fehler: Python-yumIO kann nicht erzeugt werden</translation>
    </message>
    <message>
        <source>Available for update</source>
        <translation>Aktualisierung verfügbar</translation>
    </message>
    <message>
        <source>Available for installation</source>
        <translation>Zur Installation verfügbar</translation>
    </message>
    <message>
        <source>Installed</source>
        <translation>Installiert</translation>
    </message>
    <message>
        <source>Suite of packages</source>
        <translation>Paketsammlung</translation>
    </message>
    <message>
        <source>Group of packages</source>
        <translation>Paketgruppe</translation>
    </message>
    <message>
        <source>Ordinary package</source>
        <translation>Einzelnes Paket</translation>
    </message>
    <message>
        <source>Unable to obtain yum lock</source>
        <translation>Die yum-Sperre kann nicht erlangt werden</translation>
    </message>
    <message>
        <source>Internal error: yumIO.repos.repos not evaluable</source>
        <translation>Interner Fehler: yumIO.repos.repos ist nicht auswertbar</translation>
    </message>
    <message>
        <source>Internal error: yumIO.repos.repos not a dictionary</source>
        <translation>Interner Fehler: yumIO.repos.repos ist kein Wörterbuch</translation>
    </message>
    <message>
        <source>unable to setup repository %1:
%2</source>
        <translation>Paketquelle %1 kann nicht eingerichtet werden:
%2</translation>
    </message>
    <message>
        <source>No repositories are configured.
Under the Repositories menu, Edit Configuration can be used to configure repositories.</source>
        <translation>Es sind keine Paketquellen eingerichtet.
Im Menü „Paketquellen“ lassen sie sich mit „Konfiguration bearbeiten“ einrichten.</translation>
    </message>
    <message>
        <source>No repositories are enabled.
Under the Repositories menu, Edit Configuration can be used to configure repositories.</source>
        <translation>Es ist keine Paketquelle aktiviert.
Im Menü „Paketquellen“ lassen sie sich mit „Konfiguration bearbeiten“ einrichten.</translation>
    </message>
    <message>
        <source>Initialization</source>
        <translation>Initialisierung</translation>
    </message>
    <message>
        <source>Initializing: Total Progress</source>
        <translation>Initialisierung: Gesamtfortschritt</translation>
    </message>
    <message>
        <source>Preparing</source>
        <translation>Vorbereitung</translation>
    </message>
    <message>
        <source>contents</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>Reading repositories</source>
        <translation>Paketquellen werden gelesen</translation>
    </message>
    <message>
        <source>Collecting updatable packages</source>
        <translation>Aktualisierbare Pakete werden gesammelt</translation>
    </message>
    <message>
        <source>Unable to setup transaction</source>
        <translation>Die Transaktion kann nicht eingerichtet werden</translation>
    </message>
    <message>
        <source>Unable to collect updatable packages</source>
        <translation>Die aktualisierbaren Pakete können nicht gesammelt werden</translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.collectUpdates failed</source>
        <translation>Interner Fehler: Ausführung von yumIO.collectUpdates fehlgeschlagen</translation>
    </message>
    <message>
        <source>Collecting installed and available packages</source>
        <translation>Installierte und verfügbare Pakete werden gesammelt</translation>
    </message>
    <message>
        <source>Unable to collect installed and available packages</source>
        <translation>Die installierten und verfügbaren Pakete können nicht gesammelt werden</translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.collectAll failed</source>
        <translation>Interner Fehler: Ausführung von yumIO.collectAll fehlgeschlagen</translation>
    </message>
    <message>
        <source>Collecting groups</source>
        <translation>Gruppen werden gesammelt</translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.setupTsGroup failed</source>
        <translation>Interner Fehler: Ausführung von yumIO.setupTsGroup fehlgeschlagen</translation>
    </message>
    <message>
        <source>Unable to collect groups</source>
        <translation>Die Gruppen können nicht gesammelt werden</translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.collectGroupInfo failed</source>
        <translation>Interner Fehler: Ausführung von yumIO.collectGroupInfo fehlgeschlagen</translation>
    </message>
    <message>
        <source>Internal error: yumIO.collectAll.%1 not found</source>
        <translation>Interner Fehler: yumIO.collectAll.%1 nicht gefunden</translation>
    </message>
    <message>
        <source>Internal error: groupInfo.visible_groups not evaluable</source>
        <translation>Interner Fehler: groupInfo.visible_groups ist nicht auswertbar</translation>
    </message>
    <message>
        <source>Internal error: group without name</source>
        <translation>Interner Fehler: Gruppe ohne Namen</translation>
    </message>
    <message>
        <source>Internal error: cannot find group&apos;s installed flag</source>
        <translation>Interner Fehler: Die Installiert-Markierung der Gruppe wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Internal error: YumIO::pyString did not understand type</source>
        <translation>Interner Fehler: YumIO::pyString hat den Typ nicht verstanden</translation>
    </message>
    <message>
        <source>Internal error: YumIO::pyStringX did not understand non-empty list</source>
        <translation>Interner Fehler: YumIO::pyStringX hat die nicht leere Liste nicht verstanden</translation>
    </message>
    <message>
        <source>Internal error: YumIO::pyStringX did not understand type</source>
        <translation>Interner Fehler: YumIO::pyStringX hat den Typ nicht verstanden</translation>
    </message>
    <message>
        <source>Internal error: package size not understood</source>
        <translation>Interner Fehler: Paketgröße nicht verstanden</translation>
    </message>
    <message>
        <source>Internal error: package size not understood: %1</source>
        <translation>Interner Fehler: Paketgröße nicht verstanden: %1</translation>
    </message>
    <message>
        <source>Internal error: package size result not understood</source>
        <translation>Interner Fehler: Ergebnis der Paketgröße nicht verstanden</translation>
    </message>
    <message>
        <source>Internal error: time not understood</source>
        <translation>Interner Fehler: Zeitangabe nicht verstanden</translation>
    </message>
    <message>
        <source>Internal error: time not understood: %1</source>
        <translation>Interner Fehler: Zeitangabe nicht verstanden: %1</translation>
    </message>
    <message>
        <source>Eb</source>
        <translation>Eb</translation>
    </message>
    <message>
        <source>Pb</source>
        <translation>Pb</translation>
    </message>
    <message>
        <source>Tb</source>
        <translation>Tb</translation>
    </message>
    <message>
        <source>Gb</source>
        <translation>Gb</translation>
    </message>
    <message>
        <source>Mb</source>
        <translation>Mb</translation>
    </message>
    <message>
        <source>Kb</source>
        <translation>Kb</translation>
    </message>
    <message>
        <source>b</source>
        <translation>b</translation>
    </message>
    <message>
        <source>VUX Yum Error</source>
        <translation>VUX yum-Fehler</translation>
    </message>
    <message>
        <source>VUX Yum Warning</source>
        <translation>VUX yum-Warnung</translation>
    </message>
    <message>
        <source>getRpmHdrValue called for package with no hdr (i.e. not installed)</source>
        <translation>getRpmHdrValue für ein Paket ohne hdr aufgerufen (d. h. nicht installiert)</translation>
    </message>
    <message>
        <source>Internal error: cannot find rpm.%1</source>
        <translation>Interner Fehler: rpm.%1 wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Internal error: cannot find package&apos;s prco.%1</source>
        <translation>Interner Fehler: prco.%1 des Pakets wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Internal error: cannot find package&apos;s files</source>
        <translation>Interner Fehler: Die Dateien des Pakets wurden nicht gefunden</translation>
    </message>
    <message>
        <source>Internal error: cannot find package&apos;s changelog</source>
        <translation>Interner Fehler: Das Änderungsprotokoll des Pakets wurde nicht gefunden</translation>
    </message>
    <message>
        <source>getGroupItem_22 called for incorrect version of yum</source>
        <translation>getGroupItem_22 für eine falsche yum-Version aufgerufen</translation>
    </message>
    <message>
        <source>Internal error: groupInfo.%1 not evaluable</source>
        <translation>Interner Fehler: groupInfo.%1 ist nicht auswertbar</translation>
    </message>
    <message>
        <source>Internal error: groupInfo.%1[%2] not evaluable</source>
        <translation>Interner Fehler: groupInfo.%1[%2] ist nicht auswertbar</translation>
    </message>
    <message>
        <source>getGroupItem_25 called for incorrect version of yum</source>
        <translation>getGroupItem_25 für eine falsche yum-Version aufgerufen</translation>
    </message>
    <message>
        <source>Internal error: group %1.%2 not evaluable</source>
        <translation>Interner Fehler: Gruppe %1.%2 ist nicht auswertbar</translation>
    </message>
    <message>
        <source>Collecting File Lists</source>
        <translation>Dateilisten werden gesammelt</translation>
    </message>
    <message>
        <source>Collecting Miscellaneous data</source>
        <translation>Weitere Daten werden gesammelt</translation>
    </message>
    <message>
        <source>file lists</source>
        <translation>Dateilisten</translation>
    </message>
    <message>
        <source>miscellaneous data</source>
        <translation>weitere Daten</translation>
    </message>
    <message>
        <source>Loading file lists: Total Progress</source>
        <translation>Dateilisten werden geladen: Gesamtfortschritt</translation>
    </message>
    <message>
        <source>Loading miscellaneous data: Total Progress</source>
        <translation>Weitere Daten werden geladen: Gesamtfortschritt</translation>
    </message>
    <message>
        <source>Unable to collect file lists</source>
        <translation>Die Dateilisten können nicht gesammelt werden</translation>
    </message>
    <message>
        <source>Unable to collect miscellaneous data</source>
        <translation>Die weiteren Daten können nicht gesammelt werden</translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.collectFileLists failed</source>
        <translation>Interner Fehler: Ausführung von yumIO.collectFileLists fehlgeschlagen</translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.collectOtherData failed</source>
        <translation>Interner Fehler: Ausführung von yumIO.collectOtherData fehlgeschlagen</translation>
    </message>
    <message>
        <source>Applying</source>
        <translation>Ausführung</translation>
    </message>
    <message>
        <source>Internal error: yum version not understood: %1</source>
        <translation>Interner Fehler: yum-Version nicht verstanden: %1</translation>
    </message>
    <message>
        <source>Cleaning Headers</source>
        <translation>Paketköpfe werden gelöscht</translation>
    </message>
    <message>
        <source>Cleaning Packages</source>
        <translation>Pakete werden gelöscht</translation>
    </message>
    <message>
        <source>Cleaning Xml Metadata</source>
        <translation>XML-Metadaten werden gelöscht</translation>
    </message>
    <message>
        <source>Cleaning Pickled Cache</source>
        <translation>Aufbereitete Daten werden gelöscht</translation>
    </message>
    <message>
        <source>Cleaning All</source>
        <translation>Alles wird gelöscht</translation>
    </message>
    <message>
        <source>Downloading repository %1 mirror list for %2</source>
        <translation>Spiegelliste der Paketquelle %2 wird heruntergeladen (%1)</translation>
    </message>
    <message>
        <source>Downloading repository %1 mirror list</source>
        <translation>Spiegelliste der Paketquelle wird heruntergeladen (%1)</translation>
    </message>
    <message>
        <source>Downloading repository %1 repomd for %2</source>
        <translation>repomd der Paketquelle %2 wird heruntergeladen (%1)</translation>
    </message>
    <message>
        <source>Downloading repository %1 repomd</source>
        <translation>repomd der Paketquelle wird heruntergeladen (%1)</translation>
    </message>
    <message>
        <source>Downloading repository %1 for %2</source>
        <translation>Paketquelle %2 wird heruntergeladen (%1)</translation>
    </message>
    <message>
        <source>Downloading repository %1</source>
        <translation>Paketquelle wird heruntergeladen (%1)</translation>
    </message>
    <message>
        <source>Converting repository %1 for %2</source>
        <translation>Paketquelle %2 wird umgewandelt (%1)</translation>
    </message>
    <message>
        <source>Converting repository %1</source>
        <translation>Paketquelle wird umgewandelt (%1)</translation>
    </message>
    <message>
        <source>Reading repository %1 for %2</source>
        <translation>Paketquelle %2 wird gelesen (%1)</translation>
    </message>
    <message>
        <source>Reading repository %1</source>
        <translation>Paketquelle wird gelesen (%1)</translation>
    </message>
    <message>
        <source>Finishing RPM rebuild from deltas</source>
        <translation>RPM-Neuaufbau aus Deltas wird abgeschlossen</translation>
    </message>
    <message>
        <source>Downloading %1 header</source>
        <translation>Paketkopf von %1 wird heruntergeladen</translation>
    </message>
    <message>
        <source>Downloading %1</source>
        <translation>%1 wird heruntergeladen</translation>
    </message>
    <message>
        <source>Parts of the repository configuration were ignored:
%1</source>
        <translation>Teile der Paketquellen-Konfiguration wurden ignoriert:
%1</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Install</source>
        <translation>Installieren</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>FEHLER</translation>
    </message>
    <message>
        <source>Checking Dependencies: Total Progress</source>
        <translation>Abhängigkeiten werden geprüft: Gesamtfortschritt</translation>
    </message>
    <message>
        <source>Internal error: unable to create the lists of changes</source>
        <translation>Interner Fehler: Die Änderungslisten können nicht erstellt werden</translation>
    </message>
    <message>
        <source>Unable to add package %1 to removes list</source>
        <translation>Paket %1 kann nicht zur Liste der zu entfernenden Pakete hinzugefügt werden</translation>
    </message>
    <message>
        <source>Unable to add package %1 to installs list</source>
        <translation>Paket %1 kann nicht zur Liste der zu installierenden Pakete hinzugefügt werden</translation>
    </message>
    <message>
        <source>Unable to find installed version for package update %1</source>
        <translation>Die installierte Version zur Paketaktualisierung %1 wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Unable to add new package to pair for updated package %1</source>
        <translation>Das neue Paket kann nicht zum Paar für das aktualisierte Paket %1 hinzugefügt werden</translation>
    </message>
    <message>
        <source>Unable to add old package to pair for updated package %1</source>
        <translation>Das alte Paket kann nicht zum Paar für das aktualisierte Paket %1 hinzugefügt werden</translation>
    </message>
    <message>
        <source>Unable to add package %1 to updates list</source>
        <translation>Paket %1 kann nicht zur Liste der zu aktualisierenden Pakete hinzugefügt werden</translation>
    </message>
    <message>
        <source>Error applying changes</source>
        <translation>Fehler beim Ausführen der Änderungen</translation>
    </message>
    <message>
        <source>Error applying changes: Exiting on Broken Pipe</source>
        <translation>Fehler beim Ausführen der Änderungen: Abbruch wegen unterbrochener Pipe</translation>
    </message>
    <message>
        <source>the package is optional</source>
        <translation>das Paket ist optional</translation>
    </message>
    <message>
        <source>Package %1 is included in group %2 which was marked for %3,
so the package would be marked for %4,
but it was marked individually for %5.
How do you wish to proceed?</source>
        <translation>Paket %1 gehört zur Gruppe %2, die zum %3 vorgemerkt wurde,
daher würde das Paket zum %4 vorgemerkt,
es wurde aber einzeln zum %5 vorgemerkt.
Wie möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>Package %1 is included in group %2 which was marked for %3,
so the package would be marked for %4,
but you resolved an earlier conflict by marking it for %5.
How do you wish to proceed?</source>
        <translation>Paket %1 gehört zur Gruppe %2, die zum %3 vorgemerkt wurde,
daher würde das Paket zum %4 vorgemerkt,
Sie haben aber einen früheren Konflikt gelöst, indem Sie es zum %5 vorgemerkt haben.
Wie möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>Package %1 is included in group %2 which was marked for %3,
so the package would be marked for %4,
but it also was part of group %5 and so was marked for %6.
How do you wish to proceed?</source>
        <translation>Paket %1 gehört zur Gruppe %2, die zum %3 vorgemerkt wurde,
daher würde das Paket zum %4 vorgemerkt,
es gehört aber auch zur Gruppe %5 und wurde daher zum %6 vorgemerkt.
Wie möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Manually resolving conflict: marking package %1 for %3</source>
        <translation>Konflikt von Hand gelöst: Paket %1 wird zum %3 vorgemerkt</translation>
    </message>
    <message>
        <source>For group %1, marking package %2 for %3</source>
        <translation>Für Gruppe %1 wird Paket %2 zum %3 vorgemerkt</translation>
    </message>
    <message>
        <source>For group %1, package %2 already was marked for %3</source>
        <translation>Für Gruppe %1 war Paket %2 bereits zum %3 vorgemerkt</translation>
    </message>
    <message>
        <source>For group %1, not marking package %2 for %3, becuase %4</source>
        <translation>Für Gruppe %1 wird Paket %2 nicht zum %3 vorgemerkt, denn %4</translation>
    </message>
    <message>
        <source>Internal error: group lacks required package lists</source>
        <translation>Interner Fehler: Der Gruppe fehlen die Listen der benötigten Pakete</translation>
    </message>
    <message>
        <source>Internal error: group lacks required proper required package lists</source>
        <translation>Interner Fehler: Der Gruppe fehlen gültige Listen der benötigten Pakete</translation>
    </message>
    <message>
        <source>Internal error: group lacks package lists</source>
        <translation>Interner Fehler: Der Gruppe fehlen Paketlisten</translation>
    </message>
    <message>
        <source>Internal error: group lacks required proper package lists</source>
        <translation>Interner Fehler: Der Gruppe fehlen gültige Paketlisten</translation>
    </message>
    <message>
        <source>Collected %1 packages (%2 updatable, %3 installed, %4 available) and %5 groups from %6 repositories in %7 seconds</source>
        <translation>%1 Pakete (%2 aktualisierbar, %3 installiert, %4 verfügbar) und %5 Gruppen aus %6 Paketquellen in %7 Sekunden gesammelt</translation>
    </message>
    <message>
        <source>The package manager gave no reason.</source>
        <translation>Die Paketverwaltung hat keinen Grund angegeben.</translation>
    </message>
    <message>
        <source>Unable to clean the cache:
%1</source>
        <translation>Der Zwischenspeicher kann nicht geleert werden:
%1</translation>
    </message>
    <message>
        <source>Resolve Dependencies</source>
        <translation>Abhängigkeiten auflösen</translation>
    </message>
    <message>
        <source>Internal error: TSINFO mentions unknown package: %1</source>
        <translation>Interner Fehler: TSINFO nennt ein unbekanntes Paket: %1</translation>
    </message>
    <message>
        <source>Internal error: TSINFO mentions intent to install or upgrade package that already seems up-to-date: %1</source>
        <translation>Interner Fehler: TSINFO will ein Paket installieren oder aktualisieren, das bereits aktuell zu sein scheint: %1</translation>
    </message>
    <message>
        <source>Internal error: unexpected TSINFO: %1</source>
        <translation>Interner Fehler: Unerwartete TSINFO: %1</translation>
    </message>
    <message>
        <source>Internal error: tsInfo lacks %1
</source>
        <translation>Interner Fehler: In tsInfo fehlt %1
</translation>
    </message>
    <message>
        <source>Transaction to be performed:
</source>
        <translation>Auszuführende Transaktion:
</translation>
    </message>
    <message>
        <source>Performing the following to resolve dependencies:
</source>
        <translation>Zum Auflösen der Abhängigkeiten wird Folgendes ausgeführt:
</translation>
    </message>
    <message>
        <source>Other Transactions:
</source>
        <translation>Weitere Transaktionen:
</translation>
    </message>
    <message>
        <source>Obsoleting</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Total download size: %1
</source>
        <translation>Gesamte Downloadgröße: %1
</translation>
    </message>
    <message>
        <source>Applying: OK</source>
        <translation>Ausführen: OK</translation>
    </message>
    <message>
        <source>Not Applying: Canceled</source>
        <translation>Nicht ausgeführt: Abgebrochen</translation>
    </message>
    <message>
        <source>Running Transaction: Total Progress</source>
        <translation>Transaktion läuft: Gesamtfortschritt</translation>
    </message>
    <message>
        <source>Importing GPG key:
 Userid     : &quot;%1&quot;
 Fingerprint: %2
 From       : %3
Is this ok?</source>
        <translation>GPG-Schlüssel wird importiert:
 Benutzer-ID  : „%1“
 Fingerabdruck: %2
 Herkunft     : %3
Ist das in Ordnung?</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>Do Not Import</source>
        <translation>Nicht importieren</translation>
    </message>
    <message>
        <source>Key imported</source>
        <translation>Schlüssel importiert</translation>
    </message>
    <message>
        <source>Key not imported</source>
        <translation>Schlüssel nicht importiert</translation>
    </message>
    <message>
        <source>Preparing to Test Transaction</source>
        <translation>Transaktionstest wird vorbereitet</translation>
    </message>
    <message>
        <source>Preparing to Run Transaction</source>
        <translation>Transaktion wird vorbereitet</translation>
    </message>
    <message>
        <source>Transaction Test</source>
        <translation>Transaktionstest</translation>
    </message>
    <message>
        <source>Updating %1</source>
        <translation>%1 wird aktualisiert</translation>
    </message>
    <message>
        <source>Installing %1</source>
        <translation>%1 wird installiert</translation>
    </message>
    <message>
        <source>Completing update for: %1</source>
        <translation>Aktualisierung wird abgeschlossen für: %1</translation>
    </message>
    <message>
        <source>Removing %1</source>
        <translation>%1 wird entfernt</translation>
    </message>
    <message>
        <source>Internal error: YumIO::tsCallback what=%1 not understood; ignoring</source>
        <translation>Interner Fehler: YumIO::tsCallback what=%1 nicht verstanden; wird ignoriert</translation>
    </message>
    <message>
        <source>Internal error: YumIO::tsEvent action=%1 not understood; ignoring</source>
        <translation>Interner Fehler: YumIO::tsEvent action=%1 nicht verstanden; wird ignoriert</translation>
    </message>
    <message>
        <source>Removed</source>
        <translation>Entfernt</translation>
    </message>
    <message>
        <source>Dependency Removed</source>
        <translation>Als Abhängigkeit entfernt</translation>
    </message>
    <message>
        <source>Dependency Installed</source>
        <translation>Als Abhängigkeit installiert</translation>
    </message>
    <message>
        <source>Updated</source>
        <translation>Aktualisiert</translation>
    </message>
    <message>
        <source>Dependency Updated</source>
        <translation>Als Abhängigkeit aktualisiert</translation>
    </message>
    <message>
        <source>Obsoleted</source>
        <translation>Ersetzt</translation>
    </message>
    <message>
        <source>Collecting advisories</source>
        <translation>Hinweise werden gesammelt</translation>
    </message>
    <message>
        <source>The advisories of the updates could not be read: %1</source>
        <translation>Die Hinweise zu den Aktualisierungen konnten nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.collectAdvisories failed</source>
        <translation>Interner Fehler: Ausführung von yumIO.collectAdvisories fehlgeschlagen</translation>
    </message>
    <message>
        <source>Read the advisories of %1 updates in %2 seconds</source>
        <translation>Hinweise zu %1 Aktualisierungen in %2 Sekunden gelesen</translation>
    </message>
    <message>
        <source>Unable to find the packages that require %1</source>
        <translation>Die Pakete, die %1 benötigen, können nicht ermittelt werden</translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.whatRequires failed</source>
        <translation>Interner Fehler: Ausführung von yumIO.whatRequires fehlgeschlagen</translation>
    </message>
    <message>
        <source>Unable to find what provides %1</source>
        <translation>Es kann nicht ermittelt werden, was %1 bereitstellt</translation>
    </message>
    <message>
        <source>Internal error: execution of yumIO.whatProvides failed</source>
        <translation>Interner Fehler: Ausführung von yumIO.whatProvides fehlgeschlagen</translation>
    </message>
    <message>
        <source>hawkey&apos;s Sack type was not found</source>
        <translation>der Sack-Typ von hawkey wurde nicht gefunden</translation>
    </message>
    <message>
        <source>the sack is no hawkey Sack</source>
        <translation>der Sack ist kein hawkey-Sack</translation>
    </message>
    <message>
        <source>more than one libsolv is loaded</source>
        <translation>mehr als eine libsolv ist geladen</translation>
    </message>
    <message>
        <source>libdnf.so.2 and its sack functions are not loaded</source>
        <translation>libdnf.so.2 und seine Sack-Funktionen sind nicht geladen</translation>
    </message>
    <message>
        <source>the sack object holds no DnfSack</source>
        <translation>das Sack-Objekt enthält keinen DnfSack</translation>
    </message>
    <message>
        <source>the sack has no pool</source>
        <translation>der Sack hat keinen Pool</translation>
    </message>
    <message>
        <source>the script object has no sack or installroot</source>
        <translation>das Skriptobjekt hat keinen Sack oder kein installroot</translation>
    </message>
    <message>
        <source>Search reads the fields of each package through the script: %1</source>
        <translation>Die Suche liest die Felder jedes Pakets über das Skript: %1</translation>
    </message>
    <message>
        <source>Install group</source>
        <translation>Gruppe installieren</translation>
    </message>
    <message>
        <source>Remove group</source>
        <translation>Gruppe entfernen</translation>
    </message>
    <message>
        <source>Update group</source>
        <translation>Gruppe aktualisieren</translation>
    </message>
    <message>
        <source>Reinstall</source>
        <translation>Neu installieren</translation>
    </message>
    <message>
        <source>Downgrade</source>
        <translation>Zurückstufen</translation>
    </message>
    <message>
        <source>Rolling back to transaction %1</source>
        <translation>Rückkehr zu Transaktion %1</translation>
    </message>
    <message>
        <source>Undoing transaction %1</source>
        <translation>Transaktion %1 wird rückgängig gemacht</translation>
    </message>
    <message>
        <source>Unable to add package %1 to the changes</source>
        <translation>Paket %1 kann nicht zu den Änderungen hinzugefügt werden</translation>
    </message>
    <message>
        <source>Error undoing transactions</source>
        <translation>Fehler beim Rückgängigmachen von Transaktionen</translation>
    </message>
    <message>
        <source>the package is held</source>
        <translation>das Paket ist festgehalten</translation>
    </message>
    <message>
        <source>Unable to read the transaction history</source>
        <translation>Der Transaktionsverlauf kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Unable to read transaction %1 of the history</source>
        <translation>Transaktion %1 des Verlaufs kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Unable to read the held packages</source>
        <translation>Die festgehaltenen Pakete können nicht gelesen werden</translation>
    </message>
    <message>
        <source>no version</source>
        <translation>keine Version</translation>
    </message>
    <message>
        <source>Unable to hold %1</source>
        <translation>%1 kann nicht festgehalten werden</translation>
    </message>
    <message>
        <source>Unable to release %1</source>
        <translation>Das Festhalten von %1 kann nicht aufgehoben werden</translation>
    </message>
    <message>
        <source>Held %1 at version %2</source>
        <translation>%1 auf Version %2 festgehalten</translation>
    </message>
    <message>
        <source>Released the hold on %1</source>
        <translation>Festhalten von %1 aufgehoben</translation>
    </message>
    <message>
        <source>Unable to find the versions of %1</source>
        <translation>Die Versionen von %1 können nicht gefunden werden</translation>
    </message>
    <message>
        <source>Installed size change: %1
</source>
        <translation>Änderung der installierten Größe: %1
</translation>
    </message>
</context>
<context>
    <name>YumIOCapturers</name>
    <message>
        <source>Unable to open pipe to capture rpm transaction output</source>
        <translation>Die Pipe zum Mitschneiden der Ausgabe der rpm-Transaktion kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Unable to dup2 pipe to capture rpm transaction output</source>
        <translation>dup2 der Pipe zum Mitschneiden der Ausgabe der rpm-Transaktion fehlgeschlagen</translation>
    </message>
    <message>
        <source>Unable to dup2 to restore stderr</source>
        <translation>dup2 zum Wiederherstellen von stderr fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>%1: cannot open a display: DISPLAY and WAYLAND_DISPLAY are not set.
Vux is a graphical program; run it in an X11 or Wayland session, or through ssh -X.
&quot;%1 --help&quot; shows the command-line options.
</source>
        <translation>%1: keine Anzeige verfügbar: DISPLAY und WAYLAND_DISPLAY sind nicht gesetzt.
Vux ist ein grafisches Programm; starten Sie es in einer X11- oder Wayland-Sitzung oder über ssh -X.
„%1 --help“ zeigt die Befehlszeilenoptionen.
</translation>
    </message>
</context>
</TS>
