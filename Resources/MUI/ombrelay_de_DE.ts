<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
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
</TS>