<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>MessageBox</name>
    <message>
        <source>Ombrelay Error</source>
        <translation>Błąd Ombrelay</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Tak</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nie</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Anuluj</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <translation>Tak dla &amp;wszystkich</translation>
    </message>
</context>
<context>
    <name>OmbrelayModule</name>
    <message>
        <source>TV Lists</source>
        <translation>Listy TV</translation>
    </message>
    <message>
        <source>Radio Lists</source>
        <translation>Listy radiowe</translation>
    </message>
    <message>
        <source>Link Lists</source>
        <translation>Listy linków</translation>
    </message>
    <message>
        <source>Media Explorer</source>
        <translation>Eksplorator multimediów</translation>
    </message>
    <message>
        <source>Device Basic Screen</source>
        <translation>Ekran główny urządzenia</translation>
    </message>
    <message>
        <source>Welcome Screen</source>
        <translation>Ekran powitalny</translation>
    </message>
</context>
</TS>