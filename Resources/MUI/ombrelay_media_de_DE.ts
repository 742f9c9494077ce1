<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>Konvertieren</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>Refresh device</source>
        <translation>Gerät aktualisieren</translation>
    </message>
    <message>
        <source>Explore</source>
        <translation>Durchsuchen</translation>
    </message>
    <message>
        <source>Device is disconnected. Press button to explore files and folders.</source>
        <translation>Das Gerät ist getrennt. Drücken Sie die Schaltfläche, um Dateien und Ordner zu durchsuchen.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Adresse:</translation>
    </message>
    <message>
        <source>Go</source>
        <translation>Los</translation>
    </message>
    <message>
        <source>My Computer</source>
        <translation>Arbeitsplatz</translation>
    </message>
    <message>
        <source>My Videos</source>
        <translation>Eigene Videos</translation>
    </message>
    <message>
        <source>My Music</source>
        <translation>Eigene Musik</translation>
    </message>
    <message>
        <source>My Pictures</source>
        <translation>Eigene Bilder</translation>
    </message>
    <message>
        <source>Copying...</source>
        <translation>Kopieren...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>New folder</source>
        <translation>Neuer Ordner</translation>
    </message>
    <message>
        <source>Show in explorer</source>
        <translation>Im Dateimanager anzeigen</translation>
    </message>
    <message>
        <source>Hide properties panel</source>
        <translation>Eigenschaftenbereich ausblenden</translation>
    </message>
    <message>
        <source>Convert to</source>
        <translation>Konvertieren in</translation>
    </message>
    <message>
        <source>Disconnecting from device...</source>
        <translation>Verbindung zum Gerät wird getrennt...</translation>
    </message>
    <message>
        <source>Connecting to device...</source>
        <translation>Verbindung zum Gerät wird hergestellt...</translation>
    </message>
    <message>
        <source>Ombrelay could not detect any storage device connected.</source>
        <translation>Ombrelay konnte kein angeschlossenes Speichergerät finden.</translation>
    </message>
    <message>
        <source>Ombrelay is processing data. Do you want to stop and exit?</source>
        <translation>Ombrelay verarbeitet gerade Daten. Möchten Sie abbrechen und beenden?</translation>
    </message>
    <message>
        <source>Hide Properties Panel</source>
        <translation>Eigenschaftenbereich ausblenden</translation>
    </message>
    <message>
        <source>Show Properties Panel</source>
        <translation>Eigenschaftenbereich einblenden</translation>
    </message>
    <message>
        <source>Preparing to copy...</source>
        <translation>Kopieren wird vorbereitet...</translation>
    </message>
    <message>
        <source>Are you sure you want to delete %1?</source>
        <translation>Möchten Sie %1 wirklich löschen?</translation>
    </message>
    <message>
        <source>Are you sure you want to delete these %1 items?</source>
        <translation>Möchten Sie diese %1 Elemente wirklich löschen?</translation>
    </message>
    <message>
        <source>Deleting files...</source>
        <translation>Dateien werden gelöscht...</translation>
    </message>
    <message>
        <source>New folder name:</source>
        <translation>Name des neuen Ordners:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Ombrelay cannot create a folder named "%1". Please choose another name.</source>
        <translation>Ombrelay kann keinen Ordner mit dem Namen „%1“ anlegen. Bitte wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>Ombrelay could not create this folder</source>
        <translation>Ombrelay konnte diesen Ordner nicht anlegen</translation>
    </message>
    <message>
        <source>Ombrelay could not copy these files:
%1</source>
        <translation>Ombrelay konnte diese Dateien nicht kopieren:
%1</translation>
    </message>
    <message>
        <source>Ombrelay could not delete these files:
%1</source>
        <translation>Ombrelay konnte diese Dateien nicht löschen:
%1</translation>
    </message>
    <message>
        <source>This folder already contains a record named %1. Would you like to replace existing record?</source>
        <translation>Dieser Ordner enthält bereits eine Aufnahme namens %1. Möchten Sie die vorhandene Aufnahme ersetzen?</translation>
    </message>
    <message>
        <source>This folder already contains a file named %1. Would you like to replace existing file?</source>
        <translation>Dieser Ordner enthält bereits eine Datei namens %1. Möchten Sie die vorhandene Datei ersetzen?</translation>
    </message>
</context>
<context>
    <name>MediaExplorerFileBrowser</name>
    <message>
        <source>My Computer</source>
        <translation>Arbeitsplatz</translation>
    </message>
    <message>
        <source>Ombrelay cannot open %1. Default application for %2 files is not set.</source>
        <translation>Ombrelay kann %1 nicht öffnen. Für %2-Dateien ist kein Standardprogramm festgelegt.</translation>
    </message>
</context>
<context>
    <name>MediaExplorerTreeView</name>
    <message>
        <source>Ombrelay cannot open %1. Default application for %2 files is not set.</source>
        <translation>Ombrelay kann %1 nicht öffnen. Für %2-Dateien ist kein Standardprogramm festgelegt.</translation>
    </message>
</context>
<context>
    <name>PcFileSystemModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Date Modified</source>
        <translation>Änderungsdatum</translation>
    </message>
    <message>
        <source>File Folder</source>
        <translation>Dateiordner</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Laufwerk</translation>
    </message>
    <message>
        <source>Removable Drive</source>
        <translation>Wechseldatenträger</translation>
    </message>
</context>
<context>
    <name>ZBDeviceFileSystemModel</name>
    <message>
        <source>(expanding...)</source>
        <translation>(wird geöffnet...)</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Date Modified</source>
        <translation>Änderungsdatum</translation>
    </message>
    <message>
        <source>File Folder</source>
        <translation>Dateiordner</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Laufwerk</translation>
    </message>
    <message>
        <source>Removable Drive</source>
        <translation>Wechseldatenträger</translation>
    </message>
    <message>
        <source>Audio Record</source>
        <translation>Audioaufnahme</translation>
    </message>
    <message>
        <source>MPEG2 HD Video Record</source>
        <translation>MPEG2-HD-Videoaufnahme</translation>
    </message>
    <message>
        <source>MPEG4 HD Video Record</source>
        <translation>MPEG4-HD-Videoaufnahme</translation>
    </message>
    <message>
        <source>MPEG2 SD Video Record</source>
        <translation>MPEG2-SD-Videoaufnahme</translation>
    </message>
    <message>
        <source>MPEG4 SD Video Record</source>
        <translation>MPEG4-SD-Videoaufnahme</translation>
    </message>
</context>
</TS>
