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
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>%1 is not a recording Ombrelay can convert.</source>
        <translation>%1 ist keine Aufnahme, die Ombrelay umwandeln kann.</translation>
    </message>
    <message>
        <source>To convert audio and video recordings Ombrelay needs FFmpeg software. It seems that FFmpeg path is incorrect. Would you like to set it now?</source>
        <translation>Zum Konvertieren von Audio- und Videoaufnahmen benötigt Ombrelay die Software FFmpeg. Der FFmpeg-Pfad scheint falsch zu sein. Möchten Sie ihn jetzt festlegen?</translation>
    </message>
    <message>
        <source>Don't show this message again</source>
        <translation>Diese Meldung nicht mehr anzeigen</translation>
    </message>
    <message>
        <source>Choose directory</source>
        <translation>Verzeichnis auswählen</translation>
    </message>
    <message>
        <source>Save recording as</source>
        <translation>Aufnahme speichern unter</translation>
    </message>
    <message>
        <source>Mp3 Files (*.mp3)</source>
        <translation>MP3-Dateien (*.mp3)</translation>
    </message>
    <message>
        <source>Mpg Files (*.mpg)</source>
        <translation>MPG-Dateien (*.mpg)</translation>
    </message>
    <message>
        <source>MKV Files (*.mkv)</source>
        <translation>MKV-Dateien (*.mkv)</translation>
    </message>
    <message>
        <source>Converting...</source>
        <translation>Konvertierung...</translation>
    </message>
    <message>
        <source>FFmpeg error accured. Input file is probably corrupted.</source>
        <translation>FFmpeg-Fehler aufgetreten. Die Eingabedatei ist wahrscheinlich beschädigt.</translation>
    </message>
</context>
</TS>
