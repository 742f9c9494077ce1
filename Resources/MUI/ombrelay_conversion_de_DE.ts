<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AVTranscoder</name>
    <message>
        <source>The process failed to start.</source>
        <translation>Der Prozess konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>The process crashed some time after starting successfully.</source>
        <translation>Der Prozess ist nach erfolgreichem Start abgestürzt.</translation>
    </message>
    <message>
        <source>The process timed out.</source>
        <translation>Zeitüberschreitung des Prozesses.</translation>
    </message>
    <message>
        <source>An error occurred when attempting to read from the process.</source>
        <translation>Beim Lesen vom Prozess ist ein Fehler aufgetreten.</translation>
    </message>
    <message>
        <source>An error occurred when attempting to write to the process.</source>
        <translation>Beim Schreiben in den Prozess ist ein Fehler aufgetreten.</translation>
    </message>
    <message>
        <source>Unknown error.</source>
        <translation>Unbekannter Fehler.</translation>
    </message>
    <message>
        <source>A conversion is already running. Please wait until it has finished.</source>
        <translation>Es läuft bereits eine Umwandlung. Bitte warten Sie, bis sie beendet ist.</translation>
    </message>
    <message>
        <source>Input file does not exist: </source>
        <translation>Die Eingabedatei existiert nicht: </translation>
    </message>
    <message>
        <source>The folder %1 already holds a DVD folder. Please choose another folder.</source>
        <translation>Der Ordner %1 enthält bereits einen DVD-Ordner. Bitte wählen Sie einen anderen Ordner.</translation>
    </message>
    <message>
        <source>The target is the recording itself. Please choose another file name.</source>
        <translation>Das Ziel ist die Aufnahme selbst. Bitte wählen Sie einen anderen Dateinamen.</translation>
    </message>
    <message>
        <source>Cannot write into the folder %1.</source>
        <translation>In den Ordner %1 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Cannot find video converter. Please make sure that the path for FFmpeg in Settings is correct.</source>
        <translation>Der Videokonverter wurde nicht gefunden. Bitte prüfen Sie, ob der Pfad zu FFmpeg in den Einstellungen stimmt.</translation>
    </message>
    <message>
        <source>Cannot write file %1.</source>
        <translation>Die Datei %1 kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Cannot write the DVD authoring file in %1.</source>
        <translation>Die DVD-Steuerdatei kann in %1 nicht geschrieben werden.</translation>
    </message>
</context>
</TS>
