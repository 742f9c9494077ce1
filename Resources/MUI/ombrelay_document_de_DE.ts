<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AgregateModel</name>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
</context>
<context>
    <name>ItemProperty</name>
    <message>
        <source>Validation</source>
        <translation>Überprüfung</translation>
    </message>
    <message>
        <source>Entered value is invalid!</source>
        <translation>Der eingegebene Wert ist ungültig!</translation>
    </message>
</context>
<context>
    <name>ListDocument</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Document has errors</source>
        <translation>Das Dokument enthält Fehler</translation>
    </message>
    <message>
        <source>Invalid file format</source>
        <translation>Ungültiges Dateiformat</translation>
    </message>
    <message>
        <source>This is not valid document format</source>
        <translation>Dies ist kein gültiges Dokumentformat</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>New TV service %1</source>
        <translation>Neuer TV-Sender %1</translation>
    </message>
    <message>
        <source>New radio service %1</source>
        <translation>Neuer Radiosender %1</translation>
    </message>
    <message>
        <source>New link %1</source>
        <translation>Neuer Link %1</translation>
    </message>
</context>
<context>
    <name>XmlTextGuard</name>
    <message>
        <source>Document type definitions are not supported</source>
        <translation>Dokumenttyp-Definitionen werden nicht unterstützt</translation>
    </message>
    <message>
        <source>Elements are nested too deeply</source>
        <translation>Die Elemente sind zu tief verschachtelt</translation>
    </message>
</context>
</TS>
