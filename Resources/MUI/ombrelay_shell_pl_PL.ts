<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>Settings</name>
    <message>
        <source>Not saved: %1.</source>
        <translation>Nie zapisano: %1.</translation>
    </message>
    <message>
        <source>the video converter&apos;s path</source>
        <translation>ścieżka konwertera wideo</translation>
    </message>
    <message>
        <source>the media folders</source>
        <translation>foldery multimediów</translation>
    </message>
    <message>
        <source>the print options</source>
        <translation>opcje drukowania</translation>
    </message>
    <message>
        <source>the questions not to be asked again</source>
        <translation>pytania, których nie należy zadawać ponownie</translation>
    </message>
    <message>
        <source>the device search</source>
        <translation>wyszukiwanie urządzeń</translation>
    </message>
    <message>
        <source>the language</source>
        <translation>język</translation>
    </message>
    <message>
        <source>the recent files</source>
        <translation>ostatnio otwierane pliki</translation>
    </message>
    <message>
        <source>the list of devices</source>
        <translation>lista urządzeń</translation>
    </message>
    <message>
        <source>the window&apos;s place and size</source>
        <translation>położenie i rozmiar okna</translation>
    </message>
</context>
</TS>
