<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>AgregateModel</name>
    <message>
        <source>Value</source>
        <translation>Wartość</translation>
    </message>
</context>
<context>
    <name>ItemProperty</name>
    <message>
        <source>Validation</source>
        <translation>Weryfikacja</translation>
    </message>
    <message>
        <source>Entered value is invalid!</source>
        <translation>Wprowadzona wartość jest nieprawidłowa!</translation>
    </message>
</context>
<context>
    <name>ListDocument</name>
    <message>
        <source>Error</source>
        <translation>Błąd</translation>
    </message>
    <message>
        <source>Document has errors</source>
        <translation>Dokument zawiera błędy</translation>
    </message>
    <message>
        <source>Invalid file format</source>
        <translation>Nieprawidłowy format pliku</translation>
    </message>
    <message>
        <source>This is not valid document format</source>
        <translation>To nie jest prawidłowy format dokumentu</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>New TV service %1</source>
        <translation>Nowy kanał TV %1</translation>
    </message>
    <message>
        <source>New radio service %1</source>
        <translation>Nowa stacja radiowa %1</translation>
    </message>
    <message>
        <source>New link %1</source>
        <translation>Nowy link %1</translation>
    </message>
</context>
<context>
    <name>XmlTextGuard</name>
    <message>
        <source>Document type definitions are not supported</source>
        <translation>Definicje typu dokumentu nie są obsługiwane</translation>
    </message>
    <message>
        <source>Elements are nested too deeply</source>
        <translation>Elementy są zbyt głęboko zagnieżdżone</translation>
    </message>
</context>
</TS>
