<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>MainWindow</name>
    <message>
        <source>Device's given name</source>
        <translation>Vom Benutzer vergebener Gerätename</translation>
    </message>
    <message>
        <source>Device's native name</source>
        <translation>Ursprünglicher Gerätename</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Media Explorer</source>
        <translation>Medien-Explorer</translation>
    </message>
    <message>
        <source>Add new device</source>
        <translation>Neues Gerät hinzufügen</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>Copyright © 2009-2026 Zembrak. All rights reserved.</source>
        <translation>Copyright © 2009-2026 Zembrak. Alle Rechte vorbehalten.</translation>
    </message>
    <message>
        <source>Use this program at your own risk. The program is protected by copyright; copying it, in whole or in part, without the written permission of Zembrak is prohibited. For video conversion the program uses the tools FFmpeg and dvdauthor of the DVDAuthorGUI package, which are free software under the GNU General Public License, version 2.</source>
        <translation>Die Nutzung dieses Programms erfolgt auf eigene Gefahr. Das Programm ist urheberrechtlich geschützt; jede vollständige oder teilweise Vervielfältigung ohne schriftliche Genehmigung von Zembrak ist untersagt. Für die Videokonvertierung nutzt das Programm die Werkzeuge FFmpeg und dvdauthor aus dem Paket DVDAuthorGUI; sie sind freie Software unter der GNU General Public License, Version 2.</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>Remove All</source>
        <translation>Alle entfernen</translation>
    </message>
    <message>
        <source>There are no registered devices in application. Please add at least one device to open a file.</source>
        <translation>Im Programm sind keine Geräte registriert. Bitte fügen Sie mindestens ein Gerät hinzu, um eine Datei zu öffnen.</translation>
    </message>
    <message>
        <source>Are you sure you want to remove this device from your device list?</source>
        <translation>Möchten Sie dieses Gerät wirklich aus Ihrer Geräteliste entfernen?</translation>
    </message>
    <message>
        <source>Are you sure you want to remove all devices from your device list?</source>
        <translation>Möchten Sie wirklich alle Geräte aus Ihrer Geräteliste entfernen?</translation>
    </message>
    <message>
        <source>%1 share name has changed to '%2'. Would you like to update it now?</source>
        <translation>Der Freigabename von %1 wurde in „%2“ geändert. Möchten Sie ihn jetzt übernehmen?</translation>
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
        <source>The device's software is not compatible with Ombrelay!</source>
        <translation>Die Software des Geräts ist nicht mit Ombrelay kompatibel!</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Ombrelay Error</source>
        <translation>Ombrelay-Fehler</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <translation>Ja für &amp;alle</translation>
    </message>
</context>
<context>
    <name>OmbrelayModule</name>
    <message>
        <source>TV Lists</source>
        <translation>TV-Listen</translation>
    </message>
    <message>
        <source>Radio Lists</source>
        <translation>Radiolisten</translation>
    </message>
    <message>
        <source>Link Lists</source>
        <translation>Linklisten</translation>
    </message>
    <message>
        <source>Media Explorer</source>
        <translation>Medien-Explorer</translation>
    </message>
    <message>
        <source>Device Basic Screen</source>
        <translation>Gerätestartseite</translation>
    </message>
    <message>
        <source>Welcome Screen</source>
        <translation>Willkommensseite</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source> (connecting)</source>
        <translation> (verbinde)</translation>
    </message>
</context>
<context>
    <name>ZBDeviceItemModel</name>
    <message>
        <source>No devices found</source>
        <translation>Kein Gerät gefunden</translation>
    </message>
</context>
</TS>