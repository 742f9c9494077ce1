<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>MainWindow</name>
    <message>
        <source>Ombrelay is processing data with %1. Do you want to stop it and remove the device?</source>
        <translation>Ombrelay verarbeitet gerade Daten mit %1. Möchten Sie den Vorgang abbrechen und das Gerät entfernen?</translation>
    </message>
    <message>
        <source>Ombrelay is processing data with %1. Do you want to stop it and disconnect?</source>
        <translation>Ombrelay verarbeitet gerade Daten mit %1. Möchten Sie den Vorgang abbrechen und die Verbindung trennen?</translation>
    </message>
    <message>
        <source>The connection to %1 was lost.</source>
        <translation>Die Verbindung zu %1 ist verloren gegangen.</translation>
    </message>
    <message>
        <source>Ombrelay could not establish connection to %1.</source>
        <translation>Ombrelay konnte keine Verbindung zu %1 herstellen.</translation>
    </message>
</context>
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>Ombrelay is processing data with %1. Do you want to stop it and remove the device?</source>
        <translation>Ombrelay verarbeitet gerade Daten mit %1. Möchten Sie den Vorgang abbrechen und das Gerät entfernen?</translation>
    </message>
</context>
</TS>
