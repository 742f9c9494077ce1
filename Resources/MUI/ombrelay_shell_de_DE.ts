<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Settings</name>
    <message>
        <source>Not saved: %1.</source>
        <translation>Nicht gespeichert: %1.</translation>
    </message>
    <message>
        <source>the video converter&apos;s path</source>
        <translation>der Pfad des Videokonverters</translation>
    </message>
    <message>
        <source>the media folders</source>
        <translation>die Medienordner</translation>
    </message>
    <message>
        <source>the print options</source>
        <translation>die Druckoptionen</translation>
    </message>
    <message>
        <source>the questions not to be asked again</source>
        <translation>die Fragen, die nicht mehr gestellt werden sollen</translation>
    </message>
    <message>
        <source>the device search</source>
        <translation>die Gerätesuche</translation>
    </message>
    <message>
        <source>the language</source>
        <translation>die Sprache</translation>
    </message>
    <message>
        <source>the recent files</source>
        <translation>die zuletzt geöffneten Dateien</translation>
    </message>
    <message>
        <source>the list of devices</source>
        <translation>die Geräteliste</translation>
    </message>
    <message>
        <source>the window&apos;s place and size</source>
        <translation>Position und Größe des Fensters</translation>
    </message>
</context>
</TS>
