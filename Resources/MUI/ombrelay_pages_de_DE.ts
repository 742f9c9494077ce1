<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ListsModuleShared</name>
    <message>
        <source>The transfer was stopped.</source>
        <translation>Die Übertragung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Ombrelay is processing data. Do you want to stop and exit?</source>
        <translation>Ombrelay verarbeitet gerade Daten. Möchten Sie abbrechen und beenden?</translation>
    </message>
    <message>
        <source>The device is not connected.</source>
        <translation>Das Gerät ist nicht verbunden.</translation>
    </message>
</context>
</TS>
