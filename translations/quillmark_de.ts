<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutBox</name>
    <message>
        <source>About Quillmark</source>
        <translation>Über Quillmark</translation>
    </message>
    <message>
        <source>%1.%2.%3 Build %4</source>
        <translation>%1.%2.%3 Build %4</translation>
    </message>
    <message>
        <source>Copyright © 2026 Orbrook Software</source>
        <translation>Copyright © 2026 Orbrook Software</translation>
    </message>
    <message>
        <source>Warning: Quillmark is protected by copyright law and international treaties. Reproducing or distributing this program, or any part of it, without permission is prohibited and will be prosecuted to the full extent of the law.</source>
        <translation>Warnung: Quillmark ist durch Urheberrecht und internationale Verträge geschützt. Die unerlaubte Vervielfältigung oder Verbreitung dieses Programms oder eines Teils davon ist verboten und wird straf- und zivilrechtlich verfolgt.</translation>
    </message>
    <message>
        <source>Distributed by %1</source>
        <translation>Vertrieb: %1</translation>
    </message>
    <message>
        <source>EMail:</source>
        <translation>E-Mail:</translation>
    </message>
    <message>
        <source>WWW:</source>
        <translation>WWW:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>AutoSave</name>
    <message>
        <source>The collection could not be saved to %1. It stays in memory; Quillmark tries again after the next change and when it ends.</source>
        <translation>Die Sammlung konnte nicht in %1 gespeichert werden. Sie bleibt im Speicher; Quillmark versucht es nach der nächsten Änderung und beim Beenden erneut.</translation>
    </message>
</context>
<context>
    <name>Backups</name>
    <message>
        <source>Cannot open file %1: %2</source>
        <translation>Die Datei %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>%1 cannot be restored: %2</source>
        <translation>%1 kann nicht wiederhergestellt werden: %2</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>The file goes on for %1 bytes after its collection.</source>
        <translation>Die Datei geht nach ihrer Sammlung noch %1 Bytes weiter.</translation>
    </message>
    <message>
        <source>The file is damaged.</source>
        <translation>Die Datei ist beschädigt.</translation>
    </message>
    <message>
        <source>Cannot read file %1 again.</source>
        <translation>Die Datei %1 kann nicht erneut gelesen werden.</translation>
    </message>
    <message>
        <source>The backup was cancelled.</source>
        <translation>Die Sicherung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>%1 does not hold a collection that can be read whole (%2); no backup was made.</source>
        <translation>%1 enthält keine vollständig lesbare Sammlung (%2); es wurde keine Sicherung angelegt.</translation>
    </message>
</context>
<context>
    <name>BookmarkFormat</name>
    <message>
        <source>&amp;Quillmark File...</source>
        <translation>&amp;Quillmark-Datei...</translation>
    </message>
    <message>
        <source>Imports quillmark file into the repository</source>
        <translation>Importiert eine Quillmark-Datei in die Sammlung</translation>
    </message>
    <message>
        <source>Import Quillmark File</source>
        <translation>Quillmark-Datei importieren</translation>
    </message>
    <message>
        <source>Exports all or part of the repository into quillmark file</source>
        <translation>Exportiert die Sammlung ganz oder teilweise in eine Quillmark-Datei</translation>
    </message>
    <message>
        <source>Export Quillmark File</source>
        <translation>Quillmark-Datei exportieren</translation>
    </message>
    <message>
        <source>Quillmark Files (*.qmf)</source>
        <translation>Quillmark-Dateien (*.qmf)</translation>
    </message>
    <message>
        <source>&amp;Mozilla Bookmarks...</source>
        <translation>&amp;Mozilla-Lesezeichen...</translation>
    </message>
    <message>
        <source>Imports mozilla bookmarks into the repository</source>
        <translation>Importiert Mozilla-Lesezeichen in die Sammlung</translation>
    </message>
    <message>
        <source>Import Mozilla Bookmarks</source>
        <translation>Mozilla-Lesezeichen importieren</translation>
    </message>
    <message>
        <source>Exports all or part of the repository into mozilla bookmarks</source>
        <translation>Exportiert die Sammlung ganz oder teilweise als Mozilla-Lesezeichen</translation>
    </message>
    <message>
        <source>Export Mozilla Bookmarks</source>
        <translation>Mozilla-Lesezeichen exportieren</translation>
    </message>
    <message>
        <source>Bookmark Files (*.html *.htm)</source>
        <translation>Lesezeichendateien (*.html *.htm)</translation>
    </message>
    <message>
        <source>&amp;Opera Hotlist...</source>
        <translation>&amp;Opera-Hotlist...</translation>
    </message>
    <message>
        <source>Imports opera hotlist into the repository</source>
        <translation>Importiert eine Opera-Hotlist in die Sammlung</translation>
    </message>
    <message>
        <source>Import Opera Hotlist</source>
        <translation>Opera-Hotlist importieren</translation>
    </message>
    <message>
        <source>Exports all or part of the repository into opera hotlist</source>
        <translation>Exportiert die Sammlung ganz oder teilweise als Opera-Hotlist</translation>
    </message>
    <message>
        <source>Export Opera Hotlist</source>
        <translation>Opera-Hotlist exportieren</translation>
    </message>
    <message>
        <source>Opera Hotlist Files (*.adr)</source>
        <translation>Opera-Hotlist-Dateien (*.adr)</translation>
    </message>
    <message>
        <source>&amp;XBEL Bookmarks...</source>
        <translation>&amp;XBEL-Lesezeichen...</translation>
    </message>
    <message>
        <source>Imports XBEL bookmarks into the repository</source>
        <translation>Importiert XBEL-Lesezeichen in die Sammlung</translation>
    </message>
    <message>
        <source>Import XBEL Bookmarks</source>
        <translation>XBEL-Lesezeichen importieren</translation>
    </message>
    <message>
        <source>Exports all or part of the repository into XBEL bookmarks</source>
        <translation>Exportiert die Sammlung ganz oder teilweise als XBEL-Lesezeichen</translation>
    </message>
    <message>
        <source>Export XBEL Bookmarks</source>
        <translation>XBEL-Lesezeichen exportieren</translation>
    </message>
    <message>
        <source>XBEL Files (*.xbel *.xml)</source>
        <translation>XBEL-Dateien (*.xbel *.xml)</translation>
    </message>
    <message>
        <source>Internet Explorer &amp;Favorites...</source>
        <translation>Internet Explorer-&amp;Favoriten...</translation>
    </message>
    <message>
        <source>Imports internet explorer favorites into the repository</source>
        <translation>Importiert Internet Explorer-Favoriten in die Sammlung</translation>
    </message>
    <message>
        <source>Import Internet Explorer Favorites</source>
        <translation>Internet Explorer-Favoriten importieren</translation>
    </message>
    <message>
        <source>Exports all or part of the repository into internet explorer favorites</source>
        <translation>Exportiert die Sammlung ganz oder teilweise als Internet Explorer-Favoriten</translation>
    </message>
    <message>
        <source>Export Internet Explorer Favorites</source>
        <translation>Internet Explorer-Favoriten exportieren</translation>
    </message>
    <message>
        <source>&amp;HTML File...</source>
        <translation>&amp;HTML-Datei...</translation>
    </message>
    <message>
        <source>Exports all or part of the repository into html file</source>
        <translation>Exportiert die Sammlung ganz oder teilweise als HTML-Datei</translation>
    </message>
    <message>
        <source>Export HTML File</source>
        <translation>HTML-Datei exportieren</translation>
    </message>
    <message>
        <source>HTML Files (*.html *.htm)</source>
        <translation>HTML-Dateien (*.html *.htm)</translation>
    </message>
</context>
<context>
    <name>BookmarkHtmlReader</name>
    <message>
        <source>%1 damaged tags were read as far as they go; the names next to them may be incomplete.</source>
        <translation>%1 beschädigte Tags wurden so weit wie möglich gelesen; die Namen daneben sind möglicherweise unvollständig.</translation>
    </message>
    <message>
        <source>The file holds no bookmarks.</source>
        <translation>Die Datei enthält keine Lesezeichen.</translation>
    </message>
    <message>
        <source>The file cannot be read: %1</source>
        <translation>Die Datei kann nicht gelesen werden: %1</translation>
    </message>
</context>
<context>
    <name>BoundedCopy</name>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>the system gave no reason</source>
        <translation>das System nannte keinen Grund</translation>
    </message>
    <message>
        <source>%1 is not a regular file or cannot be opened.</source>
        <translation>%1 ist keine gewöhnliche Datei oder kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 existiert nicht.</translation>
    </message>
    <message>
        <source>%1 is larger than %2 MB.</source>
        <translation>%1 ist größer als %2 MB.</translation>
    </message>
    <message>
        <source>The copy of %1 was stopped.</source>
        <translation>Das Kopieren von %1 wurde angehalten.</translation>
    </message>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
</context>
<context>
    <name>BrowserImportCommands</name>
    <message>
        <source>No browser profiles were found.</source>
        <translation>Es wurden keine Browserprofile gefunden.</translation>
    </message>
    <message>
        <source>Quillmark looks for the profiles of Firefox, LibreWolf, Waterfox, Chrome, Chromium, Brave, Edge, Vivaldi and Opera.</source>
        <translation>Quillmark sucht nach den Profilen von Firefox, LibreWolf, Waterfox, Chrome, Chromium, Brave, Edge, Vivaldi und Opera.</translation>
    </message>
    <message>
        <source>Nothing was imported from %1.</source>
        <translation>Aus %1 wurde nichts importiert.</translation>
    </message>
    <message>
        <source>The import was cancelled. Nothing was imported.</source>
        <translation>Der Import wurde abgebrochen. Es wurde nichts importiert.</translation>
    </message>
</context>
<context>
    <name>BrowserImportDialog</name>
    <message>
        <source>Import from Browser</source>
        <translation>Aus Browser importieren</translation>
    </message>
    <message>
        <source>Choose the browser profile whose bookmarks are to be imported. They are added to the selected folder as a new folder named after the browser and the profile.</source>
        <translation>Wählen Sie das Browserprofil, dessen Lesezeichen importiert werden sollen. Sie werden dem ausgewählten Ordner als neuer Ordner hinzugefügt, der nach Browser und Profil benannt ist.</translation>
    </message>
    <message>
        <source>Browser</source>
        <translation>Browser</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profil</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Links</source>
        <translation>Links</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>damaged</source>
        <translation>beschädigt</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Importieren</translation>
    </message>
    <message>
        <source>counting…</source>
        <translation>wird gezählt…</translation>
    </message>
</context>
<context>
    <name>ChromiumBookmarksReader</name>
    <message>
        <source>It holds more than %1 addresses or %2 MB of them.</source>
        <translation>Sie enthält mehr als %1 Adressen oder mehr als %2 MB davon.</translation>
    </message>
    <message>
        <source>It is no regular file.</source>
        <translation>Sie ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>The visit counts are left out: the database %1 cannot be read: %2</source>
        <translation>Die Besuchszahlen fehlen: Die Datenbank %1 kann nicht gelesen werden: %2</translation>
    </message>
</context>
<context>
    <name>CollectionDocument</name>
    <message>
        <source>%1 1 object</source>
        <translation>%1: 1 Objekt</translation>
    </message>
    <message>
        <source>%1 %2 objects</source>
        <translation>%1: %2 Objekte</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Neuer Ordner</translation>
    </message>
    <message>
        <source>New URL</source>
        <translation>Neue URL</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Verschieben</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
</context>
<context>
    <name>DescriptionPane</name>
    <message>
        <source>In:</source>
        <translation>In:</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>Go to this folder</source>
        <translation>Zu diesem Ordner wechseln</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Places:</source>
        <translation>Orte:</translation>
    </message>
</context>
<context>
    <name>DuplicateCommands</name>
    <message>
        <source>There are no duplicate links in &apos;%1&apos;.</source>
        <translation>In „%1“ gibt es keine doppelten Links.</translation>
    </message>
    <message>
        <source>%1 links in %2 groups of duplicates</source>
        <translation>%1 Links in %2 Gruppen von Duplikaten</translation>
    </message>
    <message>
        <source>%1 duplicate links deleted</source>
        <translation>%1 doppelte Links gelöscht</translation>
    </message>
    <message>
        <source>There are no duplicate folders in &apos;%1&apos;.</source>
        <translation>In „%1“ gibt es keine doppelten Ordner.</translation>
    </message>
    <message>
        <source>Are you sure you want to merge %1 folders into folders of the same name? %2 identical links in them will be deleted.</source>
        <translation>Möchten Sie %1 Ordner wirklich mit gleichnamigen Ordnern zusammenführen? %2 gleiche Links darin werden gelöscht.</translation>
    </message>
    <message>
        <source>%1 folders merged, %2 identical links deleted</source>
        <translation>%1 Ordner zusammengeführt, %2 gleiche Links gelöscht</translation>
    </message>
    <message>
        <source>Are you sure you want to delete %1 duplicate links?</source>
        <translation>Möchten Sie %1 doppelte Links wirklich löschen?</translation>
    </message>
    <message>
        <source>Looking for duplicates... %1 links read</source>
        <translation>Duplikate werden gesucht... %1 Links gelesen</translation>
    </message>
    <message>
        <source>Comparing %1 links... %2%</source>
        <translation>%1 Links werden verglichen... %2%</translation>
    </message>
</context>
<context>
    <name>DuplicatesDialog</name>
    <message>
        <source>Ignore what follows &quot;#&quot; (the &amp;place on the page)</source>
        <translation>Was nach „#“ folgt, nicht beachten (die &amp;Stelle auf der Seite)</translation>
    </message>
    <message>
        <source>Ignore &amp;tracking parameters (utm_..., fbclid, gclid, mc_eid, igshid)</source>
        <translation>&amp;Tracking-Parameter nicht beachten (utm_..., fbclid, gclid, mc_eid, igshid)</translation>
    </message>
    <message>
        <source>Treat &quot;http&quot; and &quot;https&quot;, and &quot;www.&quot; or not, as the &amp;same</source>
        <translation>„http“ und „https“ sowie „www.“ oder nicht als &amp;gleich ansehen</translation>
    </message>
    <message>
        <source>The &amp;whole collection</source>
        <translation>Die &amp;ganze Sammlung</translation>
    </message>
    <message>
        <source>Find Duplicates</source>
        <translation>Duplikate suchen</translation>
    </message>
    <message>
        <source>Links are duplicates when their addresses lead to the same page. Case in the scheme and host, default ports and the form of escapes never count.</source>
        <translation>Links sind Duplikate, wenn ihre Adressen zur selben Seite führen. Groß- und Kleinschreibung von Schema und Host, Standardports und die Form von Escape-Folgen zählen nie.</translation>
    </message>
    <message>
        <source>Compare addresses</source>
        <translation>Adressen vergleichen</translation>
    </message>
    <message>
        <source>Look in</source>
        <translation>Suchen in</translation>
    </message>
    <message>
        <source>The &amp;folder &apos;%1&apos; and the folders below it</source>
        <translation>Der &amp;Ordner „%1“ und die Ordner darunter</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
</context>
<context>
    <name>ExportReport</name>
    <message>
        <source>The export was cancelled.</source>
        <translation>Der Export wurde abgebrochen.</translation>
    </message>
</context>
<context>
    <name>FavoritesFolderDialog</name>
    <message>
        <source>Import Internet Explorer Favorites</source>
        <translation>Internet Explorer-Favoriten importieren</translation>
    </message>
    <message>
        <source>Select which folder you want to import from.</source>
        <translation>Wählen Sie den Ordner, aus dem importiert werden soll.</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>No Internet Explorer Favorites folder was found.

Click Browse to choose the folder to import from.</source>
        <translation>Es wurde kein Favoritenordner des Internet Explorers gefunden.

Klicken Sie auf Durchsuchen, um den Ordner zu wählen, aus dem importiert werden soll.</translation>
    </message>
    <message>
        <source>Choose the Folder to Import From</source>
        <translation>Ordner für den Import wählen</translation>
    </message>
    <message>
        <source>Favorites folders</source>
        <translation>Favoritenordner</translation>
    </message>
</context>
<context>
    <name>FavoritesReader</name>
    <message>
        <source>Cannot open folder %1</source>
        <translation>Der Ordner %1 kann nicht geöffnet werden</translation>
    </message>
</context>
<context>
    <name>FavoritesTree</name>
    <message>
        <source>Favorites</source>
        <translation>Favoriten</translation>
    </message>
</context>
<context>
    <name>FavoritesWriter</name>
    <message>
        <source>Cannot create file %1: %2</source>
        <translation>Die Datei %1 kann nicht erstellt werden: %2</translation>
    </message>
    <message>
        <source>Cannot create folder %1</source>
        <translation>Der Ordner %1 kann nicht erstellt werden</translation>
    </message>
</context>
<context>
    <name>FileSync</name>
    <message>
        <source>The folders above it cannot be created.</source>
        <translation>Die übergeordneten Ordner können nicht erstellt werden.</translation>
    </message>
    <message>
        <source>It cannot be created.</source>
        <translation>Er kann nicht erstellt werden.</translation>
    </message>
    <message>
        <source>It is not a folder.</source>
        <translation>Es ist kein Ordner.</translation>
    </message>
    <message>
        <source>It belongs to another user.</source>
        <translation>Er gehört einem anderen Benutzer.</translation>
    </message>
</context>
<context>
    <name>FirefoxPlacesReader</name>
    <message>
        <source>The database %1 holds more than %2 bookmarks or %3 MB of text.</source>
        <translation>Die Datenbank %1 enthält mehr als %2 Lesezeichen oder mehr als %3 MB Text.</translation>
    </message>
</context>
<context>
    <name>FolderBar</name>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Close Bar</source>
        <translation>Leiste schließen</translation>
    </message>
</context>
<context>
    <name>FolderCommands</name>
    <message>
        <source>E&amp;xpand</source>
        <translation>&amp;Aufklappen</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>&amp;Umbenennen</translation>
    </message>
    <message>
        <source>&amp;Properties...</source>
        <translation>Ei&amp;genschaften...</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>FEHLER</translation>
    </message>
</context>
<context>
    <name>FolderListView</name>
    <message>
        <source>Links</source>
        <translation>Links</translation>
    </message>
</context>
<context>
    <name>FolderTreeView</name>
    <message>
        <source>An item name cannot contain any of the following characters: \</source>
        <translation>Ein Name darf keines der folgenden Zeichen enthalten: \</translation>
    </message>
    <message>
        <source>The folder lies deeper than the %1 levels the folder tree opens. The tree shows the folder above it at level %1.</source>
        <translation>Der Ordner liegt tiefer als die %1 Ebenen, die die Ordnerstruktur öffnet. Sie zeigt den übergeordneten Ordner auf Ebene %1.</translation>
    </message>
    <message>
        <source>Expand All opens %1 levels and %2 folders at most; open the others one at a time</source>
        <translation>Alle aufklappen öffnet höchstens %1 Ebenen und %2 Ordner; öffnen Sie die übrigen einzeln</translation>
    </message>
    <message>
        <source>&amp;Collapse</source>
        <translation>&amp;Zuklappen</translation>
    </message>
    <message>
        <source>E&amp;xpand</source>
        <translation>&amp;Aufklappen</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
</context>
<context>
    <name>FormatCommands</name>
    <message>
        <source>HTML pages cannot be imported.</source>
        <translation>HTML-Seiten können nicht importiert werden.</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Die Datei %1 kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Cannot create file %1: %2</source>
        <translation>Die Datei %1 kann nicht erstellt werden: %2</translation>
    </message>
    <message>
        <source>The data could not be flushed to the disk.</source>
        <translation>Die Daten konnten nicht auf den Datenträger geschrieben werden.</translation>
    </message>
    <message>
        <source>%1 folders and %2 links imported</source>
        <translation>%1 Ordner und %2 Links importiert</translation>
    </message>
    <message>
        <source>Nothing could be imported from %1.

%2</source>
        <translation>Aus %1 konnte nichts importiert werden.

%2</translation>
    </message>
    <message>
        <source>The import of %1 was cancelled. %2 folders and %3 links were imported.</source>
        <translation>Der Import von %1 wurde abgebrochen. %2 Ordner und %3 Links wurden importiert.</translation>
    </message>
    <message>
        <source>%1 is damaged or partly unreadable. %2 folders and %3 links were imported; what could not be read was skipped:

%4</source>
        <translation>%1 ist beschädigt oder teilweise unlesbar. %2 Ordner und %3 Links wurden importiert; was nicht gelesen werden konnte, wurde übersprungen:

%4</translation>
    </message>
    <message>
        <source>%1, %2 links already in the collection skipped</source>
        <translation>%1, %2 schon in der Sammlung vorhandene Links übersprungen</translation>
    </message>
</context>
<context>
    <name>GoToFolderDialog</name>
    <message>
        <source>Go to Folder</source>
        <translation>Gehe zu Ordner</translation>
    </message>
    <message>
        <source>&amp;Folder:</source>
        <translation>&amp;Ordner:</translation>
    </message>
    <message>
        <source>Type any part of the folder&apos;s path</source>
        <translation>Geben Sie einen beliebigen Teil des Ordnerpfads ein</translation>
    </message>
    <message>
        <source>%1 folders</source>
        <translation>%1 Ordner</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Quillmark Help</source>
        <translation>Quillmark-Hilfe</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Forward</source>
        <translation>&amp;Vorwärts</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>There is no help topic for context number %1.</source>
        <translation>Für die Kontextnummer %1 gibt es kein Hilfethema.</translation>
    </message>
    <message>
        <source>Topic not found</source>
        <translation>Thema nicht gefunden</translation>
    </message>
    <message>
        <source>Go to the contents</source>
        <translation>Zum Inhalt</translation>
    </message>
    <message>
        <source>Help contents</source>
        <translation>Hilfeinhalt</translation>
    </message>
    <message>
        <source>Help page</source>
        <translation>Hilfeseite</translation>
    </message>
</context>
<context>
    <name>ImportReport</name>
    <message>
        <source>The import was cancelled.</source>
        <translation>Der Import wurde abgebrochen.</translation>
    </message>
</context>
<context>
    <name>ItemCommands</name>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Properties...</source>
        <translation>Ei&amp;genschaften...</translation>
    </message>
    <message>
        <source>Confirm Multiple Objects Delete</source>
        <translation>Löschen mehrerer Objekte bestätigen</translation>
    </message>
    <message>
        <source>Are you sure you want to delete these %1 objects?</source>
        <translation>Möchten Sie diese %1 Objekte wirklich löschen?</translation>
    </message>
    <message>
        <source>Confirm Folder Delete</source>
        <translation>Löschen des Ordners bestätigen</translation>
    </message>
    <message>
        <source>Are you sure you want to delete &apos;%1&apos;?</source>
        <translation>Möchten Sie &apos;%1&apos; wirklich löschen?</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Verschieben</translation>
    </message>
    <message>
        <source>Move %1 objects</source>
        <translation>%1 Objekte verschieben</translation>
    </message>
</context>
<context>
    <name>LinkCheckCommands</name>
    <message>
        <source>&amp;Check Links...</source>
        <translation>Links &amp;prüfen...</translation>
    </message>
    <message>
        <source>Checks whether the links below the folder or the selected ones still work</source>
        <translation>Prüft, ob die Links unter dem Ordner oder die ausgewählten noch funktionieren</translation>
    </message>
    <message>
        <source>Link Check &amp;Results</source>
        <translation>Ergebnisse der Link&amp;prüfung</translation>
    </message>
    <message>
        <source>Lists the links found broken, moved or unreachable</source>
        <translation>Listet die Links auf, die defekt, umgezogen oder nicht erreichbar sind</translation>
    </message>
    <message>
        <source>Update to &amp;New Address</source>
        <translation>Auf &amp;neue Adresse ändern</translation>
    </message>
    <message>
        <source>Gives the selected moved links their new address</source>
        <translation>Gibt den ausgewählten umgezogenen Links ihre neue Adresse</translation>
    </message>
    <message>
        <source>Update &amp;All to New Addresses</source>
        <translation>Alle auf neue Adressen än&amp;dern</translation>
    </message>
    <message>
        <source>Gives every listed moved link its new address</source>
        <translation>Gibt jedem aufgelisteten umgezogenen Link seine neue Adresse</translation>
    </message>
    <message>
        <source>Delete &amp;Broken Links</source>
        <translation>Defekte Links lös&amp;chen</translation>
    </message>
    <message>
        <source>Deletes the selected links that were found broken</source>
        <translation>Löscht die ausgewählten Links, die defekt sind</translation>
    </message>
    <message>
        <source>Check A&amp;gain</source>
        <translation>Er&amp;neut prüfen</translation>
    </message>
    <message>
        <source>Checks the selected links again</source>
        <translation>Prüft die ausgewählten Links erneut</translation>
    </message>
    <message>
        <source>There are no links to check.</source>
        <translation>Es gibt keine Links zu prüfen.</translation>
    </message>
    <message numerus="yes">
        <source>Checking %n link(s)...</source>
        <translation>
            <numerusform>%n Link wird geprüft...</numerusform>
            <numerusform>%n Links werden geprüft...</numerusform>
        </translation>
    </message>
    <message>
        <source>The link check results could not be kept: %1</source>
        <translation>Die Ergebnisse der Linkprüfung konnten nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>No broken, moved or unreachable links were found.</source>
        <translation>Es wurden keine defekten, umgezogenen oder nicht erreichbaren Links gefunden.</translation>
    </message>
    <message>
        <source>Update to New Address</source>
        <translation>Auf neue Adresse ändern</translation>
    </message>
    <message>
        <source>Delete Broken Links</source>
        <translation>Defekte Links löschen</translation>
    </message>
    <message>
        <source>; now at %1</source>
        <translation>; jetzt unter %1</translation>
    </message>
    <message>
        <source>%1 broken, %2 moved, %3 unreachable (%5 rate limited), %4 not checked</source>
        <translation>%1 defekt, %2 umgezogen, %3 nicht erreichbar (%5 wegen Anfragebegrenzung), %4 nicht geprüft</translation>
    </message>
</context>
<context>
    <name>LinkCheckMark</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Moved</source>
        <translation>Umgezogen</translation>
    </message>
    <message>
        <source>Redirected</source>
        <translation>Umgeleitet</translation>
    </message>
    <message>
        <source>Broken</source>
        <translation>Defekt</translation>
    </message>
    <message>
        <source>Unreachable</source>
        <translation>Nicht erreichbar</translation>
    </message>
    <message>
        <source>Not checked</source>
        <translation>Nicht geprüft</translation>
    </message>
    <message>
        <source>Unreachable (rate limited)</source>
        <translation>Nicht erreichbar (Anfragebegrenzung)</translation>
    </message>
</context>
<context>
    <name>LinkCheckPanel</name>
    <message>
        <source>Check Links</source>
        <translation>Links prüfen</translation>
    </message>
    <message>
        <source>&amp;Show links that are OK</source>
        <translation>&amp;Funktionierende Links zeigen</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Anhalten</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>&amp;Resume</source>
        <translation>&amp;Fortsetzen</translation>
    </message>
    <message>
        <source>Checking %1</source>
        <translation>Prüfe %1</translation>
    </message>
    <message>
        <source>Cancelled: the links checked so far are listed.</source>
        <translation>Abgebrochen: die bisher geprüften Links sind aufgelistet.</translation>
    </message>
    <message>
        <source>%1 of %2 links checked</source>
        <translation>%1 von %2 Links geprüft</translation>
    </message>
    <message>
        <source>Broken: %1    Moved: %2    Unreachable: %3    Not checked: %4    Redirected: %5    OK: %6</source>
        <translation>Defekt: %1    Umgezogen: %2    Nicht erreichbar: %3    Nicht geprüft: %4    Umgeleitet: %5    OK: %6</translation>
    </message>
</context>
<context>
    <name>LinkCheckStore</name>
    <message>
        <source>Not a regular file</source>
        <translation>Keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>The file is too large</source>
        <translation>Die Datei ist zu groß</translation>
    </message>
    <message>
        <source>The reading was stopped</source>
        <translation>Das Lesen wurde abgebrochen</translation>
    </message>
</context>
<context>
    <name>LinkChecker</name>
    <message>
        <source>The link has no address</source>
        <translation>Der Link hat keine Adresse</translation>
    </message>
    <message>
        <source>Not a web address: only http and https links are checked</source>
        <translation>Keine Webadresse: nur http- und https-Links werden geprüft</translation>
    </message>
    <message>
        <source>A %1 link: only http and https links are checked</source>
        <translation>Ein %1-Link: nur http- und https-Links werden geprüft</translation>
    </message>
    <message>
        <source>Malformed address: no host</source>
        <translation>Fehlerhafte Adresse: kein Host</translation>
    </message>
    <message>
        <source>Malformed address: %1</source>
        <translation>Fehlerhafte Adresse: %1</translation>
    </message>
    <message>
        <source>Not checked: the site limits its requests (rate limited)</source>
        <translation>Nicht geprüft: Die Website begrenzt ihre Anfragen (Anfragebegrenzung)</translation>
    </message>
    <message numerus="yes">
        <source>Not checked: the site asked to wait %n second(s) (rate limited)</source>
        <translation>
            <numerusform>Nicht geprüft: Die Website bat, %n Sekunde zu warten (Anfragebegrenzung)</numerusform>
            <numerusform>Nicht geprüft: Die Website bat, %n Sekunden zu warten (Anfragebegrenzung)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LinkListModel</name>
    <message>
        <source>Never</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Visits</source>
        <translation>Besuche</translation>
    </message>
    <message>
        <source>Last Visit</source>
        <translation>Letzter Besuch</translation>
    </message>
    <message>
        <source>Rating</source>
        <translation>Bewertung</translation>
    </message>
</context>
<context>
    <name>LinkListPane</name>
    <message>
        <source>&amp;Reset Columns</source>
        <translation>Spalten &amp;zurücksetzen</translation>
    </message>
    <message>
        <source>Reset the columns in the link list</source>
        <translation>Setzt die Spalten der Linkliste zurück</translation>
    </message>
    <message>
        <source>&amp;Arrange Icons by    </source>
        <translation>Symbole &amp;anordnen nach    </translation>
    </message>
    <message>
        <source>%1 objects</source>
        <translation>%1 Objekte</translation>
    </message>
    <message>
        <source>%1 objects selected</source>
        <translation>%1 Objekte ausgewählt</translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>Arrange items in the window by name</source>
        <translation>Ordnet die Einträge im Fenster nach dem Namen</translation>
    </message>
    <message>
        <source>&amp;URL</source>
        <translation>&amp;URL</translation>
    </message>
    <message>
        <source>Arrange items in the window by URL</source>
        <translation>Ordnet die Einträge im Fenster nach der URL</translation>
    </message>
    <message>
        <source>&amp;Visits</source>
        <translation>&amp;Besuche</translation>
    </message>
    <message>
        <source>Arrange items in the window by visits</source>
        <translation>Ordnet die Einträge im Fenster nach den Besuchen</translation>
    </message>
    <message>
        <source>&amp;Last Visit</source>
        <translation>&amp;Letzter Besuch</translation>
    </message>
    <message>
        <source>Arrange items in the window by last visit</source>
        <translation>Ordnet die Einträge im Fenster nach dem letzten Besuch</translation>
    </message>
    <message>
        <source>&amp;Rating</source>
        <translation>Be&amp;wertung</translation>
    </message>
    <message>
        <source>Arrange items in the window by rating</source>
        <translation>Ordnet die Einträge im Fenster nach der Bewertung</translation>
    </message>
    <message>
        <source>La&amp;rge Icons</source>
        <translation>&amp;Große Symbole</translation>
    </message>
    <message>
        <source>S&amp;mall Icons</source>
        <translation>Kle&amp;ine Symbole</translation>
    </message>
    <message>
        <source>&amp;List</source>
        <translation>Lis&amp;te</translation>
    </message>
    <message>
        <source>&amp;Details</source>
        <translation>&amp;Details</translation>
    </message>
    <message>
        <source>&amp;Large Icons</source>
        <translation>&amp;Große Symbole</translation>
    </message>
    <message>
        <source>&amp;Small Icons</source>
        <translation>&amp;Kleine Symbole</translation>
    </message>
    <message>
        <source>Li&amp;st</source>
        <translation>&amp;Liste</translation>
    </message>
    <message>
        <source>Displays items by using large icons</source>
        <translation>Zeigt die Einträge mit großen Symbolen</translation>
    </message>
    <message>
        <source>Displays items by using small icons</source>
        <translation>Zeigt die Einträge mit kleinen Symbolen</translation>
    </message>
    <message>
        <source>Displays items in a list</source>
        <translation>Zeigt die Einträge in einer Liste</translation>
    </message>
    <message>
        <source>Displays information about each item in the window</source>
        <translation>Zeigt Angaben zu jedem Eintrag im Fenster</translation>
    </message>
    <message>
        <source>Sort &amp;Ascending</source>
        <translation>&amp;Aufsteigend sortieren</translation>
    </message>
    <message>
        <source>Sort items in ascending order</source>
        <translation>Sortiert die Einträge aufsteigend</translation>
    </message>
    <message>
        <source>&amp;Sort Descending</source>
        <translation>Ab&amp;steigend sortieren</translation>
    </message>
    <message>
        <source>Sort items in descending order</source>
        <translation>Sortiert die Einträge absteigend</translation>
    </message>
</context>
<context>
    <name>LinkOpener</name>
    <message>
        <source>&quot;%1&quot; is a program on this computer, not a web page. Run it?</source>
        <translation>&quot;%1&quot; ist ein Programm auf diesem Computer, keine Webseite. Ausführen?</translation>
    </message>
</context>
<context>
    <name>LinkProbe</name>
    <message numerus="yes">
        <source>No answer within %n second(s)</source>
        <translation>
            <numerusform>Keine Antwort innerhalb von %n Sekunde</numerusform>
            <numerusform>Keine Antwort innerhalb von %n Sekunden</numerusform>
        </translation>
    </message>
    <message>
        <source>Redirect loop</source>
        <translation>Umleitungsschleife</translation>
    </message>
    <message>
        <source>More than %1 redirects</source>
        <translation>Mehr als %1 Umleitungen</translation>
    </message>
    <message>
        <source>Redirected to a %1 address</source>
        <translation>Auf eine %1-Adresse umgeleitet</translation>
    </message>
    <message>
        <source>Moved permanently</source>
        <translation>Dauerhaft umgezogen</translation>
    </message>
    <message>
        <source>Redirected</source>
        <translation>Umgeleitet</translation>
    </message>
    <message>
        <source>HTTP status %1</source>
        <translation>HTTP-Status %1</translation>
    </message>
    <message>
        <source>Host not found: %1</source>
        <translation>Host nicht gefunden: %1</translation>
    </message>
    <message>
        <source>Secure connection failed: %1</source>
        <translation>Sichere Verbindung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Rate limited: %1</source>
        <translation>Anfragebegrenzung: %1</translation>
    </message>
    <message>
        <source>Redirect (%1) without a new address</source>
        <translation>Umleitung (%1) ohne neue Adresse</translation>
    </message>
</context>
<context>
    <name>MainActions</name>
    <message>
        <source>&amp;Folder</source>
        <translation>&amp;Ordner</translation>
    </message>
    <message>
        <source>Create a new folder</source>
        <translation>Erstellt einen neuen Ordner</translation>
    </message>
    <message>
        <source>&amp;URL...</source>
        <translation>&amp;URL...</translation>
    </message>
    <message>
        <source>Create a new item</source>
        <translation>Erstellt einen neuen Eintrag</translation>
    </message>
    <message>
        <source>&amp;Restore from Backup...</source>
        <translation>Aus Sicherung &amp;wiederherstellen...</translation>
    </message>
    <message>
        <source>Replaces the collection with one of its daily backups</source>
        <translation>Ersetzt die Sammlung durch eine ihrer täglichen Sicherungen</translation>
    </message>
    <message>
        <source>&amp;Properties...</source>
        <translation>Ei&amp;genschaften...</translation>
    </message>
    <message>
        <source>|Displays the properties of the seleced item</source>
        <translation>|Zeigt die Eigenschaften des ausgewählten Eintrags</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Close|Close window</source>
        <translation>Schließen|Schließt das Fenster</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Takes back the last change</source>
        <translation>Nimmt die letzte Änderung zurück</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Makes the last change taken back again</source>
        <translation>Führt die zuletzt zurückgenommene Änderung erneut aus</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Deletes the selection</source>
        <translation>Löscht die Auswahl</translation>
    </message>
    <message>
        <source>Delete &amp;Empty Folders</source>
        <translation>Leere &amp;Ordner löschen</translation>
    </message>
    <message>
        <source>Deletes empty folders from the current folder</source>
        <translation>Löscht die leeren Ordner im aktuellen Ordner</translation>
    </message>
    <message>
        <source>Select A&amp;ll</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source>Select all items in the window</source>
        <translation>Wählt alle Einträge im Fenster aus</translation>
    </message>
    <message>
        <source>D&amp;eselect All</source>
        <translation>Auswahl au&amp;fheben</translation>
    </message>
    <message>
        <source>Deselect all items in the window</source>
        <translation>Hebt die Auswahl aller Einträge im Fenster auf</translation>
    </message>
    <message>
        <source>I&amp;nvert Selection</source>
        <translation>Auswahl &amp;umkehren</translation>
    </message>
    <message>
        <source>Reverses which items are selected and which are not</source>
        <translation>Kehrt um, welche Einträge ausgewählt sind und welche nicht</translation>
    </message>
    <message>
        <source>&amp;Search...</source>
        <translation>&amp;Suchen...</translation>
    </message>
    <message>
        <source>Finds objects across all folders</source>
        <translation>Sucht Objekte in allen Ordnern</translation>
    </message>
    <message>
        <source>&amp;Up one Level</source>
        <translation>&amp;Eine Ebene höher</translation>
    </message>
    <message>
        <source>Go to the parent folder</source>
        <translation>Wechselt zum übergeordneten Ordner</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>&amp;Symbolleiste</translation>
    </message>
    <message>
        <source>Show or hide the toolbar</source>
        <translation>Zeigt oder verbirgt die Symbolleiste</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>Status&amp;leiste</translation>
    </message>
    <message>
        <source>Show or hide the status bar</source>
        <translation>Zeigt oder verbirgt die Statusleiste</translation>
    </message>
    <message>
        <source>Description &amp;Pane</source>
        <translation>&amp;Beschreibungsbereich</translation>
    </message>
    <message>
        <source>Show or hide the description pane</source>
        <translation>Zeigt oder verbirgt den Beschreibungsbereich</translation>
    </message>
    <message>
        <source>Folder Pa&amp;ne</source>
        <translation>Ordner&amp;kopf</translation>
    </message>
    <message>
        <source>Show or hide the folder pane</source>
        <translation>Zeigt oder verbirgt den Ordnerkopf</translation>
    </message>
    <message>
        <source>&amp;Folders</source>
        <translation>&amp;Ordner</translation>
    </message>
    <message>
        <source>Show or hide the folders bar</source>
        <translation>Zeigt oder verbirgt die Ordnerleiste</translation>
    </message>
    <message>
        <source>E&amp;xpand All</source>
        <translation>Alle a&amp;ufklappen</translation>
    </message>
    <message>
        <source>Expand all items from the root</source>
        <translation>Klappt alle Einträge ab der Wurzel auf</translation>
    </message>
    <message>
        <source>&amp;Collapse All</source>
        <translation>Alle &amp;zuklappen</translation>
    </message>
    <message>
        <source>Collapse all items from the root</source>
        <translation>Klappt alle Einträge ab der Wurzel zu</translation>
    </message>
    <message>
        <source>&amp;Go to Folder...</source>
        <translation>Gehe zu Ordne&amp;r...</translation>
    </message>
    <message>
        <source>Allows you to pick a folder to go to</source>
        <translation>Lässt Sie einen Ordner wählen, zu dem gewechselt wird</translation>
    </message>
    <message>
        <source>All &amp;Bookmarks</source>
        <translation>Alle Lesez&amp;eichen</translation>
    </message>
    <message>
        <source>Show all objects</source>
        <translation>Zeigt alle Objekte</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>Opens help</source>
        <translation>Öffnet die Hilfe</translation>
    </message>
    <message>
        <source>&amp;Tip of the Day...</source>
        <translation>&amp;Tipp des Tages...</translation>
    </message>
    <message>
        <source>Displays a tip of the day</source>
        <translation>Zeigt einen Tipp des Tages</translation>
    </message>
    <message>
        <source>&amp;Product News</source>
        <translation>&amp;Produktneuigkeiten</translation>
    </message>
    <message>
        <source>Opens the Quillmark product news page</source>
        <translation>Öffnet die Seite mit Neuigkeiten zu Quillmark</translation>
    </message>
    <message>
        <source>Send &amp;Feedback</source>
        <translation>&amp;Feedback senden</translation>
    </message>
    <message>
        <source>Opens the Quillmark product feedback page</source>
        <translation>Öffnet die Feedback-Seite zu Quillmark</translation>
    </message>
    <message>
        <source>Quillmark &amp;Home Page</source>
        <translation>Quillmark-&amp;Homepage</translation>
    </message>
    <message>
        <source>Shows Quillmark Home Page</source>
        <translation>Zeigt die Quillmark-Homepage</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Über...</translation>
    </message>
    <message>
        <source>About|Displays program information, version number, and copyright</source>
        <translation>Über|Zeigt Programminformationen, Versionsnummer und Copyright</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>|Show or hide the folders bar</source>
        <translation>|Zeigt oder verbirgt die Ordnerleiste</translation>
    </message>
    <message>
        <source>Views</source>
        <translation>Ansichten</translation>
    </message>
    <message>
        <source>|Changes displays items view</source>
        <translation>|Ändert die Ansicht der Einträge</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>|Opens help</source>
        <translation>|Öffnet die Hilfe</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>File related commands</source>
        <translation>Befehle zu Dateien</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>Create a new folder or item</source>
        <translation>Erstellt einen neuen Ordner oder Eintrag</translation>
    </message>
    <message>
        <source>I&amp;mport</source>
        <translation>I&amp;mportieren</translation>
    </message>
    <message>
        <source>Imports into the repository</source>
        <translation>Importiert in die Sammlung</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>&amp;Exportieren</translation>
    </message>
    <message>
        <source>Exports all or part of the repository</source>
        <translation>Exportiert die Sammlung ganz oder teilweise</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Edit commands</source>
        <translation>Befehle zum Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>View commands</source>
        <translation>Befehle zur Ansicht</translation>
    </message>
    <message>
        <source>&amp;Arrange Icons by</source>
        <translation>Symbole &amp;anordnen nach</translation>
    </message>
    <message>
        <source>|Arranging items in the window</source>
        <translation>|Ordnet die Einträge im Fenster an</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Help topics</source>
        <translation>Hilfethemen</translation>
    </message>
    <message>
        <source>Quillmark on the &amp;Web</source>
        <translation>Quillmark im &amp;Web</translation>
    </message>
    <message>
        <source>Gets help and other product information on the Internet</source>
        <translation>Hilfe und weitere Produktinformationen im Internet</translation>
    </message>
    <message>
        <source>New Folder</source>
        <translation>Neuer Ordner</translation>
    </message>
    <message>
        <source>|Create a new folder</source>
        <translation>|Erstellt einen neuen Ordner</translation>
    </message>
    <message>
        <source>New URL</source>
        <translation>Neue URL</translation>
    </message>
    <message>
        <source>|Create a new item</source>
        <translation>|Erstellt einen neuen Eintrag</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>|Up one level</source>
        <translation>|Eine Ebene höher</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>|Deletes the selection</source>
        <translation>|Löscht die Auswahl</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>|Finds objects across all folders</source>
        <translation>|Sucht Objekte in allen Ordnern</translation>
    </message>
    <message>
        <source>From &amp;Browser...</source>
        <translation>Aus &amp;Browser...</translation>
    </message>
    <message>
        <source>Imports the bookmarks of a browser profile into the repository</source>
        <translation>Importiert die Lesezeichen eines Browserprofils in die Sammlung</translation>
    </message>
    <message>
        <source>&amp;Skip links already in the collection</source>
        <translation>Schon vorhandene Links &amp;überspringen</translation>
    </message>
    <message>
        <source>Imports leave out links whose address the collection has already</source>
        <translation>Importe lassen Links aus, deren Adresse die Sammlung schon hat</translation>
    </message>
    <message>
        <source>Find &amp;Duplicates...</source>
        <translation>Dupli&amp;kate suchen...</translation>
    </message>
    <message>
        <source>Lists links that lead to the same page</source>
        <translation>Listet Links auf, die zur selben Seite führen</translation>
    </message>
    <message>
        <source>&amp;Keep Selected, Delete Others</source>
        <translation>Auswahl &amp;behalten, andere löschen</translation>
    </message>
    <message>
        <source>Keeps the selected link of its group of duplicates and deletes the others</source>
        <translation>Behält den ausgewählten Link seiner Gruppe von Duplikaten und löscht die anderen</translation>
    </message>
    <message>
        <source>Clean &amp;Up All</source>
        <translation>Alles bere&amp;inigen</translation>
    </message>
    <message>
        <source>Keeps one link of every group of duplicates</source>
        <translation>Behält einen Link jeder Gruppe von Duplikaten</translation>
    </message>
    <message>
        <source>&amp;Merge Duplicate Folders</source>
        <translation>Gleichnamige Ordner &amp;zusammenführen</translation>
    </message>
    <message>
        <source>Merges folders of the same name in the current folder</source>
        <translation>Führt gleichnamige Ordner im aktuellen Ordner zusammen</translation>
    </message>
    <message>
        <source>S&amp;ync...</source>
        <translation>S&amp;ynchronisieren...</translation>
    </message>
    <message>
        <source>Sets up syncing the collection through a WebDAV server</source>
        <translation>Richtet das Synchronisieren der Sammlung über einen WebDAV-Server ein</translation>
    </message>
    <message>
        <source>Sync No&amp;w</source>
        <translation>Jet&amp;zt synchronisieren</translation>
    </message>
    <message>
        <source>Syncs the collection with the WebDAV server now</source>
        <translation>Synchronisiert die Sammlung jetzt mit dem WebDAV-Server</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>For Help, press F1</source>
        <translation>Drücken Sie F1, um Hilfe zu erhalten</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Symbolleiste</translation>
    </message>
    <message>
        <source>Sorting %1 objects... %2%</source>
        <translation>%1 Objekte werden sortiert... %2%</translation>
    </message>
    <message>
        <source>Loading the collection...</source>
        <translation>Die Sammlung wird geladen...</translation>
    </message>
    <message>
        <source>Loading the collection... %1%</source>
        <translation>Die Sammlung wird geladen... %1%</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
</context>
<context>
    <name>NativeFile</name>
    <message>
        <source>The file is too short to hold a collection.</source>
        <translation>Die Datei ist zu kurz, um eine Sammlung zu enthalten.</translation>
    </message>
    <message>
        <source>Uncorrect data format.</source>
        <translation>Falsches Datenformat.</translation>
    </message>
    <message>
        <source>The stream cannot go back to its start.</source>
        <translation>Der Datenstrom kann nicht an seinen Anfang zurückkehren.</translation>
    </message>
    <message>
        <source>There is not enough memory to read the file.</source>
        <translation>Es ist nicht genug Speicher vorhanden, um die Datei zu lesen.</translation>
    </message>
    <message>
        <source>The data could not be flushed to the disk.</source>
        <translation>Die Daten konnten nicht auf den Datenträger geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>NativeImportExport</name>
    <message>
        <source>The data ends inside a record.</source>
        <translation>Die Daten enden mitten in einem Datensatz.</translation>
    </message>
    <message>
        <source>A text length of %1 bytes cannot be right.</source>
        <translation>Eine Textlänge von %1 Bytes kann nicht stimmen.</translation>
    </message>
    <message>
        <source>A text length of %1 bytes is more than the %2 bytes left.</source>
        <translation>Eine Textlänge von %1 Bytes ist mehr als die verbleibenden %2 Bytes.</translation>
    </message>
    <message>
        <source>The data ends before a child count.</source>
        <translation>Die Daten enden vor einer Anzahl von Untereinträgen.</translation>
    </message>
    <message>
        <source>The read was cancelled.</source>
        <translation>Das Lesen wurde abgebrochen.</translation>
    </message>
</context>
<context>
    <name>NativeStream</name>
    <message>
        <source>The disk is full: only %1 of %2 bytes could be written to %3.</source>
        <translation>Der Datenträger ist voll: Nur %1 von %2 Bytes konnten nach %3 geschrieben werden.</translation>
    </message>
    <message>
        <source>The device took only %1 of %2 bytes</source>
        <translation>Das Gerät nahm nur %1 von %2 Bytes an</translation>
    </message>
    <message>
        <source>A text of %1 bytes is too long to store</source>
        <translation>Ein Text von %1 Bytes ist zu lang zum Speichern</translation>
    </message>
</context>
<context>
    <name>NewItemDialog</name>
    <message>
        <source>New URL</source>
        <translation>Neue URL</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>Description:</source>
        <translation>Beschreibung:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>OperaHotlistReader</name>
    <message>
        <source>%1 folder ends had no folder to close.</source>
        <translation>%1 Ordnerenden hatten keinen Ordner zum Schließen.</translation>
    </message>
    <message>
        <source>The file is not an Opera hotlist.</source>
        <translation>Die Datei ist keine Opera-Hotlist.</translation>
    </message>
    <message>
        <source>The file does not start with the hotlist header.</source>
        <translation>Die Datei beginnt nicht mit dem Hotlist-Kopf.</translation>
    </message>
    <message>
        <source>The file cannot be read: %1</source>
        <translation>Die Datei kann nicht gelesen werden: %1</translation>
    </message>
</context>
<context>
    <name>Program</name>
    <message>
        <source>Quillmark is already running, but it does not answer. End it, then start Quillmark again.</source>
        <translation>Quillmark läuft bereits, antwortet aber nicht. Beenden Sie es und starten Sie Quillmark dann erneut.</translation>
    </message>
</context>
<context>
    <name>PropertiesDialog</name>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>1- Bad</source>
        <translation>1- Schlecht</translation>
    </message>
    <message>
        <source>2- Poor</source>
        <translation>2- Mäßig</translation>
    </message>
    <message>
        <source>3- Average</source>
        <translation>3- Durchschnittlich</translation>
    </message>
    <message>
        <source>4- Good</source>
        <translation>4- Gut</translation>
    </message>
    <message>
        <source>5- Excellent</source>
        <translation>5- Ausgezeichnet</translation>
    </message>
    <message>
        <source>&amp;Clear Visits</source>
        <translation>Besuche &amp;löschen</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>Ort:</translation>
    </message>
    <message>
        <source>Description:</source>
        <translation>Beschreibung:</translation>
    </message>
    <message>
        <source>Rating:</source>
        <translation>Bewertung:</translation>
    </message>
    <message>
        <source>Visits:</source>
        <translation>Besuche:</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>Containts:</source>
        <translation>Enthält:</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>%1 Links, %2 Folders</source>
        <translation>%1 Links, %2 Ordner</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>FEHLER</translation>
    </message>
    <message>
        <source>An item name cannot contain any of the following characters: \</source>
        <translation>Ein Name darf keines der folgenden Zeichen enthalten: \</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Rating</source>
        <translation>Bewertung</translation>
    </message>
</context>
<context>
    <name>Repository</name>
    <message>
        <source>Cannot open file %1</source>
        <translation>Die Datei %1 kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Uncorrect data format.</source>
        <translation>Falsches Datenformat.</translation>
    </message>
    <message>
        <source>The data file %1 could not be read and could not be copied aside. Quillmark will move it aside before it saves the collection.</source>
        <translation>Die Datendatei %1 konnte nicht gelesen und nicht beiseitekopiert werden. Quillmark verschiebt sie, bevor es die Sammlung speichert.</translation>
    </message>
    <message>
        <source>The data file %1 is damaged; Quillmark read as much of it as it could.</source>
        <translation>Die Datendatei %1 ist beschädigt; Quillmark hat so viel davon gelesen wie möglich.</translation>
    </message>
    <message>
        <source>The data file %1 could not be read.</source>
        <translation>Die Datendatei %1 konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source> The file as it was has been kept as %1.</source>
        <translation> Die Datei wurde im bisherigen Zustand als %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>The unreadable data file could not be moved aside.</source>
        <translation>Die unlesbare Datendatei konnte nicht verschoben werden.</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Die Datei %1 kann nicht erstellt werden</translation>
    </message>
</context>
<context>
    <name>RestoreCommands</name>
    <message>
        <source>The collection could not be kept as a backup: %1</source>
        <translation>Die Sammlung konnte nicht als Sicherung aufbewahrt werden: %1</translation>
    </message>
    <message>
        <source>Replace the collection with the backup of %1? The collection as it is now is kept as today&apos;s backup.</source>
        <translation>Die Sammlung durch die Sicherung vom %1 ersetzen? Die Sammlung im jetzigen Zustand wird als heutige Sicherung aufbewahrt.</translation>
    </message>
    <message>
        <source>The backup %1 cannot be restored: %2</source>
        <translation>Die Sicherung %1 kann nicht wiederhergestellt werden: %2</translation>
    </message>
    <message>
        <source>Restore from Backup</source>
        <translation>Aus Sicherung wiederherstellen</translation>
    </message>
    <message>
        <source>Today&apos;s backup could not be made: %1</source>
        <translation>Die heutige Sicherung konnte nicht angelegt werden: %1</translation>
    </message>
</context>
<context>
    <name>RestoreDialog</name>
    <message>
        <source>Restore from Backup</source>
        <translation>Aus Sicherung wiederherstellen</translation>
    </message>
    <message>
        <source>Choose the backup that is to replace the collection. The collection as it is now is kept as today&apos;s backup first.</source>
        <translation>Wählen Sie die Sicherung, die die Sammlung ersetzen soll. Die Sammlung im jetzigen Zustand wird zuvor als heutige Sicherung aufbewahrt.</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Links</source>
        <translation>Links</translation>
    </message>
    <message>
        <source>damaged</source>
        <translation>beschädigt</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Backups</source>
        <translation>Sicherungen</translation>
    </message>
</context>
<context>
    <name>SearchCommands</name>
    <message>
        <source>Search all folders</source>
        <translation>Alle Ordner durchsuchen</translation>
    </message>
    <message>
        <source>Finds objects across all folders</source>
        <translation>Sucht Objekte in allen Ordnern</translation>
    </message>
    <message>
        <source>Searching... %1 objects found</source>
        <translation>Suche läuft... %1 Objekte gefunden</translation>
    </message>
    <message>
        <source>Sorting %1 objects... %2%</source>
        <translation>%1 Objekte werden sortiert... %2%</translation>
    </message>
    <message>
        <source>There are no empty folders in &apos;%1&apos;.</source>
        <translation>In &apos;%1&apos; gibt es keine leeren Ordner.</translation>
    </message>
    <message>
        <source>Are you sure you want to delete %1 empty folders?</source>
        <translation>Möchten Sie %1 leere Ordner wirklich löschen?</translation>
    </message>
    <message>
        <source>Delete Empty Folders</source>
        <translation>Leere Ordner löschen</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Failed to set data for &apos;%1&apos;</source>
        <translation>Die Daten für &apos;%1&apos; konnten nicht gespeichert werden</translation>
    </message>
</context>
<context>
    <name>ShellErrorReport</name>
    <message>
        <source>WARNING</source>
        <translation>WARNUNG</translation>
    </message>
    <message>
        <source>Out of memory or resources.</source>
        <translation>Nicht genügend Speicher oder Ressourcen.</translation>
    </message>
    <message>
        <source> file was not found.</source>
        <translation>: Die Datei wurde nicht gefunden.</translation>
    </message>
    <message>
        <source> path was not found.</source>
        <translation>: Der Pfad wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The operating system denied access to the specified file.</source>
        <translation>Das Betriebssystem hat den Zugriff auf die angegebene Datei verweigert.</translation>
    </message>
    <message>
        <source>There was not enough memory to complete the operation.</source>
        <translation>Es war nicht genügend Speicher vorhanden, um den Vorgang abzuschließen.</translation>
    </message>
    <message>
        <source> file is invalid (non-Win32 .EXE or error in .EXE image).</source>
        <translation>: Die Datei ist ungültig (kein Win32-Programm oder fehlerhaftes Programmabbild).</translation>
    </message>
    <message>
        <source>A sharing violation occurred.</source>
        <translation>Eine Freigabeverletzung ist aufgetreten.</translation>
    </message>
    <message>
        <source>The filename association is incomplete or invalid.</source>
        <translation>Die Dateizuordnung ist unvollständig oder ungültig.</translation>
    </message>
    <message>
        <source>The DDE transaction could not be completed because the request timed out.</source>
        <translation>Die DDE-Transaktion konnte wegen einer Zeitüberschreitung nicht abgeschlossen werden.</translation>
    </message>
    <message>
        <source>The DDE transaction failed.</source>
        <translation>Die DDE-Transaktion ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>There is no application associated with the given filename extension.</source>
        <translation>Der angegebenen Dateierweiterung ist keine Anwendung zugeordnet.</translation>
    </message>
    <message>
        <source>The specified dynamic-link library was not found.</source>
        <translation>Die angegebene Programmbibliothek wurde nicht gefunden.</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>The user has no runtime or cache folder.</source>
        <translation>Der Benutzer hat keinen Laufzeit- oder Cache-Ordner.</translation>
    </message>
</context>
<context>
    <name>SlicedSave</name>
    <message>
        <source>The data could not be flushed to the disk.</source>
        <translation>Die Daten konnten nicht auf den Datenträger geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>SqliteSnapshot</name>
    <message>
        <source>The reading of %1 was stopped.</source>
        <translation>Das Lesen von %1 wurde angehalten.</translation>
    </message>
    <message>
        <source>Reading %1 took longer than %2 seconds.</source>
        <translation>Das Lesen von %1 dauerte länger als %2 Sekunden.</translation>
    </message>
    <message>
        <source>%1 is larger than a browser&apos;s database gets (%2 MB).</source>
        <translation>%1 ist größer, als die Datenbank eines Browsers wird (%2 MB).</translation>
    </message>
    <message>
        <source>%1 in %2 is no ordinary table.</source>
        <translation>%1 in %2 ist keine gewöhnliche Tabelle.</translation>
    </message>
    <message>
        <source>%1 has no table %2.</source>
        <translation>%1 hat keine Tabelle %2.</translation>
    </message>
</context>
<context>
    <name>Sync</name>
    <message>
        <source>The sync was cancelled.</source>
        <translation>Die Synchronisierung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The server did not answer within %1 seconds.</source>
        <translation>Der Server hat nicht innerhalb von %1 Sekunden geantwortet.</translation>
    </message>
    <message>
        <source>The server sent the request elsewhere (to %1): give that address instead.</source>
        <translation>Der Server hat die Anfrage anderswohin geleitet (nach %1): Geben Sie stattdessen diese Adresse an.</translation>
    </message>
    <message>
        <source>The server %1 was not found.</source>
        <translation>Der Server %1 wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The server %1 refused the connection.</source>
        <translation>Der Server %1 hat die Verbindung abgelehnt.</translation>
    </message>
    <message>
        <source>The server&apos;s answer was cut short (%1).</source>
        <translation>Die Antwort des Servers brach ab (%1).</translation>
    </message>
    <message>
        <source>The server could not be reached: %1</source>
        <translation>Der Server war nicht erreichbar: %1</translation>
    </message>
    <message>
        <source>The server&apos;s answer was cut short (%1 of %2 bytes).</source>
        <translation>Die Antwort des Servers brach ab (%1 von %2 Bytes).</translation>
    </message>
    <message>
        <source>The server refused the user name or password (wrong password?).</source>
        <translation>Der Server hat Benutzername oder Passwort abgelehnt (falsches Passwort?).</translation>
    </message>
    <message>
        <source>The server does not allow this user to reach %1.</source>
        <translation>Der Server erlaubt diesem Benutzer keinen Zugriff auf %1.</translation>
    </message>
    <message>
        <source>The server has no room left for %1.</source>
        <translation>Der Server hat keinen Platz mehr für %1.</translation>
    </message>
    <message>
        <source>The server failed (status %1) on %2.</source>
        <translation>Der Server ist bei %2 gescheitert (Status %1).</translation>
    </message>
    <message>
        <source>The server refused %2 (status %1).</source>
        <translation>Der Server hat %2 abgelehnt (Status %1).</translation>
    </message>
    <message>
        <source>The file is not a complete XBEL file: %1 at line %2.</source>
        <translation>Die Datei ist keine vollständige XBEL-Datei: %1 in Zeile %2.</translation>
    </message>
    <message>
        <source>The file is not an XBEL file.</source>
        <translation>Die Datei ist keine XBEL-Datei.</translation>
    </message>
    <message>
        <source>Locked by another client since %1.</source>
        <translation>Seit %1 von einem anderen Client gesperrt.</translation>
    </message>
    <message>
        <source>Locked by another client.</source>
        <translation>Von einem anderen Client gesperrt.</translation>
    </message>
    <message>
        <source>The sync was cancelled; nothing more was sent.</source>
        <translation>Die Synchronisierung wurde abgebrochen; es wurde nichts mehr gesendet.</translation>
    </message>
    <message>
        <source>The folder %1</source>
        <translation>Der Ordner %1</translation>
    </message>
    <message>
        <source>The file %1</source>
        <translation>Die Datei %1</translation>
    </message>
    <message>
        <source>The server sent a web page instead of the file %1: check the address.</source>
        <translation>Der Server hat statt der Datei %1 eine Webseite gesendet: Prüfen Sie die Adresse.</translation>
    </message>
    <message>
        <source>The file %1 on the server is unreadable. %2</source>
        <translation>Die Datei %1 auf dem Server ist nicht lesbar. %2</translation>
    </message>
    <message>
        <source>The sync would delete %1 of the %2 synced items; nothing was changed.</source>
        <translation>Die Synchronisierung würde %1 der %2 synchronisierten Einträge löschen; es wurde nichts geändert.</translation>
    </message>
    <message>
        <source>The file read back from the server differs from what was sent; the collection was left as it was.</source>
        <translation>Die vom Server zurückgelesene Datei weicht vom Gesendeten ab; die Sammlung blieb, wie sie war.</translation>
    </message>
    <message>
        <source>Cannot read the sync state %1: %2</source>
        <translation>Der Synchronisierungsstand %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The sync state %1 is damaged: %2</source>
        <translation>Der Synchronisierungsstand %1 ist beschädigt: %2</translation>
    </message>
    <message>
        <source>%1 does not exist on the server.</source>
        <translation>%1 gibt es auf dem Server nicht.</translation>
    </message>
    <message>
        <source>The server&apos;s answer for %1 is larger than %2, far more than the bookmark file can be: it was not read.</source>
        <translation>Die Antwort des Servers für %1 ist größer als %2, weit mehr, als die Lesezeichendatei sein kann: Sie wurde nicht gelesen.</translation>
    </message>
    <message>
        <source>The file name is empty.</source>
        <translation>Der Dateiname ist leer.</translation>
    </message>
    <message>
        <source>The file name &quot;%1&quot; begins with &quot;/&quot;: give it from the server folder, as in &quot;sub/bookmarks.xbel&quot;.</source>
        <translation>Der Dateiname „%1“ beginnt mit „/“: Geben Sie ihn vom Serverordner aus an, etwa „sub/bookmarks.xbel“.</translation>
    </message>
    <message>
        <source>The file name &quot;%1&quot; must name a file in the server folder or in a folder below it.</source>
        <translation>Der Dateiname „%1“ muss eine Datei im Serverordner oder in einem Ordner darunter nennen.</translation>
    </message>
    <message>
        <source>There was not enough memory for the sync; nothing was changed here.</source>
        <translation>Für die Synchronisation war nicht genug Speicher frei; hier wurde nichts geändert.</translation>
    </message>
    <message>
        <source>it is not a regular file that can be opened</source>
        <translation>sie ist keine gewöhnliche Datei, die sich öffnen lässt</translation>
    </message>
    <message>
        <source>it is larger than %1 MB</source>
        <translation>sie ist größer als %1 MB</translation>
    </message>
</context>
<context>
    <name>SyncCommands</name>
    <message>
        <source>Not synced yet</source>
        <translation>Noch nicht synchronisiert</translation>
    </message>
    <message>
        <source>Quillmark has not synced since it started.</source>
        <translation>Quillmark hat seit dem Start nicht synchronisiert.</translation>
    </message>
    <message>
        <source>The password could not be read from the desktop&apos;s secret store: %1</source>
        <translation>Das Passwort konnte nicht aus dem Schlüsselbund der Arbeitsumgebung gelesen werden: %1</translation>
    </message>
    <message>
        <source>The sync settings could not be kept: %1</source>
        <translation>Die Einstellungen der Synchronisierung konnten nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>The password could not be kept in the desktop&apos;s secret store (%1); it is used until Quillmark ends.</source>
        <translation>Das Passwort konnte nicht im Schlüsselbund der Arbeitsumgebung gespeichert werden (%1); es gilt, bis Quillmark endet.</translation>
    </message>
    <message>
        <source>The collection is not loaded.</source>
        <translation>Die Sammlung ist nicht geladen.</translation>
    </message>
    <message>
        <source>The synced folder &quot;%1&quot; is not in the collection.</source>
        <translation>Der synchronisierte Ordner „%1“ ist nicht in der Sammlung.</translation>
    </message>
    <message>
        <source>Syncing...</source>
        <translation>Synchronisiert...</translation>
    </message>
    <message>
        <source>Syncing with %1</source>
        <translation>Synchronisiert mit %1</translation>
    </message>
    <message>
        <source>Syncing with %1...</source>
        <translation>Synchronisiert mit %1...</translation>
    </message>
    <message>
        <source>The collection was closed during the sync.</source>
        <translation>Die Sammlung wurde während der Synchronisierung geschlossen.</translation>
    </message>
    <message>
        <source>The sync would delete %1 of the %2 synced folders and links. Delete them?</source>
        <translation>Die Synchronisierung würde %1 der %2 synchronisierten Ordner und Links löschen. Löschen?</translation>
    </message>
    <message>
        <source>The collection changed while it synced; it is synced again next time.</source>
        <translation>Die Sammlung hat sich während der Synchronisierung geändert; sie wird beim nächsten Mal erneut synchronisiert.</translation>
    </message>
    <message>
        <source>What was synced could not be noted beside the data file: %1</source>
        <translation>Was synchronisiert wurde, konnte nicht neben der Datendatei vermerkt werden: %1</translation>
    </message>
    <message>
        <source>Sync</source>
        <translation>Synchronisieren</translation>
    </message>
    <message>
        <source>nothing to take or give.</source>
        <translation>nichts zu holen oder zu geben.</translation>
    </message>
    <message>
        <source>%1 changes taken, %2 given.</source>
        <translation>%1 Änderungen geholt, %2 gegeben.</translation>
    </message>
    <message>
        <source>%1 changed on both sides: the values of this computer were kept.</source>
        <translation>%1 auf beiden Seiten geändert: Die Werte dieses Computers wurden behalten.</translation>
    </message>
    <message>
        <source>Synced at %1: %2</source>
        <translation>Synchronisiert um %1: %2</translation>
    </message>
    <message>
        <source>Synced %1</source>
        <translation>Synchronisiert %1</translation>
    </message>
    <message>
        <source>Sync failed at %1: %2</source>
        <translation>Synchronisierung fehlgeschlagen um %1: %2</translation>
    </message>
    <message>
        <source>Sync failed</source>
        <translation>Synchronisierung fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>SyncDialog</name>
    <message>
        <source>Sync &amp;every</source>
        <translation>&amp;Alle</translation>
    </message>
    <message>
        <source>Sync when Quillmark &amp;starts and ends</source>
        <translation>Beim &amp;Start und Ende von Quillmark synchronisieren</translation>
    </message>
    <message>
        <source>Sync</source>
        <translation>Synchronisieren</translation>
    </message>
    <message>
        <source>Quillmark keeps a folder of the collection, or all of it, the same as an XBEL file on a WebDAV server, which browsers with a bookmark sync extension can share.</source>
        <translation>Quillmark hält einen Ordner der Sammlung, oder die ganze Sammlung, gleich mit einer XBEL-Datei auf einem WebDAV-Server, die Browser mit einer Erweiterung zur Lesezeichen-Synchronisierung teilen können.</translation>
    </message>
    <message>
        <source>https://cloud.example.org/remote.php/dav/files/me/</source>
        <translation>https://cloud.example.org/remote.php/dav/files/ich/</translation>
    </message>
    <message>
        <source>(the whole collection)</source>
        <translation>(die ganze Sammlung)</translation>
    </message>
    <message>
        <source>C&amp;hoose...</source>
        <translation>&amp;Wählen...</translation>
    </message>
    <message>
        <source> minutes</source>
        <translation> Minuten</translation>
    </message>
    <message>
        <source>Minutes between syncs</source>
        <translation>Minuten zwischen den Synchronisierungen</translation>
    </message>
    <message>
        <source>Ser&amp;ver folder:</source>
        <translation>Ser&amp;verordner:</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>&amp;Benutzername:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>&amp;File name:</source>
        <translation>&amp;Dateiname:</translation>
    </message>
    <message>
        <source>Last sync:</source>
        <translation>Letzte Synchronisierung:</translation>
    </message>
    <message>
        <source>never</source>
        <translation>nie</translation>
    </message>
    <message>
        <source>Sync &amp;Now</source>
        <translation>&amp;Jetzt synchronisieren</translation>
    </message>
    <message>
        <source>Synced Folder</source>
        <translation>Synchronisierter Ordner</translation>
    </message>
    <message>
        <source>Synced f&amp;older:</source>
        <translation>Synchronisierter &amp;Ordner:</translation>
    </message>
    <message>
        <source>Over http:// the password goes in clear text, and anyone on the way can read it: use https:// unless the server is this computer.</source>
        <translation>Über http:// wird das Passwort im Klartext gesendet, und jeder auf dem Weg kann es lesen: Verwenden Sie https://, außer der Server ist dieser Computer.</translation>
    </message>
</context>
<context>
    <name>TextOutput</name>
    <message>
        <source>The data could not be written whole.</source>
        <translation>Die Daten konnten nicht vollständig geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>TipOfTheDayDialog</name>
    <message>
        <source>Tip of the Day</source>
        <translation>Tipp des Tages</translation>
    </message>
    <message>
        <source>For the latest information, tips and tutorials that will help you getmost out of the Quillmark, please visit Quillmark Home Page on the Web.</source>
        <translation>Aktuelle Informationen, Tipps und Anleitungen, mit denen Sie Quillmark optimal nutzen, finden Sie auf der Quillmark-Homepage im Web.</translation>
    </message>
    <message>
        <source>To find out whether a newer version of Quillmark is available, visit %1 or write to %2.</source>
        <translation>Ob eine neuere Version von Quillmark verfügbar ist, erfahren Sie unter %1 oder per E-Mail an %2.</translation>
    </message>
    <message>
        <source>For full documentation, including HTML Help, press F1 key or Help button at any time while running Quillmark.</source>
        <translation>Die vollständige Dokumentation einschließlich der HTML-Hilfe erhalten Sie jederzeit in Quillmark mit der Taste F1 oder der Schaltfläche Hilfe.</translation>
    </message>
    <message>
        <source>To hide the toolbar click View menu and then click Toolbar.</source>
        <translation>Um die Symbolleiste auszublenden, klicken Sie im Menü Ansicht auf Symbolleiste.</translation>
    </message>
    <message>
        <source>To hide the status bar click View menu and then click Status Bar.</source>
        <translation>Um die Statusleiste auszublenden, klicken Sie im Menü Ansicht auf Statusleiste.</translation>
    </message>
    <message>
        <source>To delete a selected item you can press Delete button.</source>
        <translation>Einen ausgewählten Eintrag löschen Sie mit der Taste Entf.</translation>
    </message>
    <message>
        <source>To help us fix errors you send us feedback. Click Help menu, click Quillmark on the Web and then click Send Feedback.</source>
        <translation>Helfen Sie uns, Fehler zu beheben, indem Sie uns Feedback senden: Klicken Sie im Menü Hilfe auf Quillmark im Web und dann auf Feedback senden.</translation>
    </message>
    <message>
        <source>To delete empty folders click Edit menu and then click Delete Empty Folders.</source>
        <translation>Um leere Ordner zu löschen, klicken Sie im Menü Bearbeiten auf Leere Ordner löschen.</translation>
    </message>
    <message>
        <source>Did you know...</source>
        <translation>Wussten Sie schon...</translation>
    </message>
    <message>
        <source>&amp;Show tips at startup</source>
        <translation>Tipps beim &amp;Start anzeigen</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Weiter</translation>
    </message>
    <message>
        <source>&amp;Back</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>TransferCommands</name>
    <message>
        <source>%1 objects</source>
        <translation>%1 Objekte</translation>
    </message>
    <message>
        <source>The import was cancelled. %1 were imported.</source>
        <translation>Der Import wurde abgebrochen. %1 wurden importiert.</translation>
    </message>
    <message>
        <source>Select which folder you want to import from.</source>
        <translation>Wählen Sie den Ordner, aus dem importiert werden soll.</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Die Datei %1 kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>The file %1 is damaged. %2 were imported from it.</source>
        <translation>Die Datei %1 ist beschädigt. %2 wurden daraus importiert.</translation>
    </message>
    <message>
        <source>Cannot create file %1</source>
        <translation>Die Datei %1 kann nicht erstellt werden</translation>
    </message>
</context>
<context>
    <name>TransferProgress</name>
    <message>
        <source>%1 folders and %2 links</source>
        <translation>%1 Ordner und %2 Links</translation>
    </message>
    <message>
        <source>Importing...
%1 read so far.</source>
        <translation>Import läuft...
Bisher %1 gelesen.</translation>
    </message>
    <message>
        <source>Exporting...
%1 written so far.</source>
        <translation>Export läuft...
Bisher %1 geschrieben.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>TrayController</name>
    <message>
        <source>Open/Hide Quillmark</source>
        <translation>Quillmark öffnen/verbergen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Sync No&amp;w</source>
        <translation>Jet&amp;zt synchronisieren</translation>
    </message>
</context>
<context>
    <name>UndoCommands</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Wiederholen: %1</translation>
    </message>
</context>
<context>
    <name>WriteError</name>
    <message>
        <source>Cannot write %1.</source>
        <translation>%1 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The disk at %1 is full: cannot write %2.</source>
        <translation>Der Datenträger unter %1 ist voll: %2 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The disk is full: cannot write %1.</source>
        <translation>Der Datenträger ist voll: %1 kann nicht geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>XbelReader</name>
    <message>
        <source>The file is not XBEL: %1</source>
        <translation>Die Datei ist kein XBEL: %1</translation>
    </message>
    <message>
        <source>The XML is broken at line %1 (%2); the rest of the file was not read.</source>
        <translation>Das XML ist in Zeile %1 fehlerhaft (%2); der Rest der Datei wurde nicht gelesen.</translation>
    </message>
    <message>
        <source>The file is not XBEL.</source>
        <translation>Die Datei ist kein XBEL.</translation>
    </message>
    <message>
        <source>%1 aliases named no bookmark before them and were left out.</source>
        <translation>%1 Aliasse verwiesen auf kein vorangehendes Lesezeichen und wurden ausgelassen.</translation>
    </message>
    <message>
        <source>%1 aliases were copied without the description of their bookmark: so many copies of it would take far more memory than the file.</source>
        <translation>%1 Aliasse wurden ohne die Beschreibung ihres Lesezeichens kopiert: So viele Kopien davon bräuchten weit mehr Speicher als die Datei.</translation>
    </message>
    <message>
        <source>%1 aliases were left out: so many copies of their bookmark would take far more memory than the file.</source>
        <translation>%1 Aliasse wurden ausgelassen: So viele Kopien ihres Lesezeichens bräuchten weit mehr Speicher als die Datei.</translation>
    </message>
    <message>
        <source>The file cannot be read: %1</source>
        <translation>Die Datei kann nicht gelesen werden: %1</translation>
    </message>
</context>
<context>
    <name>XbelWriter</name>
    <message>
        <source>The data could not be written whole.</source>
        <translation>Die Daten konnten nicht vollständig geschrieben werden.</translation>
    </message>
</context>
</TS>
