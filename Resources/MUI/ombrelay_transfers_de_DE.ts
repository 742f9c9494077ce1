<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DVB24CommunicationProtocolMill</name>
    <message>
        <location filename="../../device/filetransfer.cpp" line="51"/>
        <source>Cannot create directory %1.</source>
        <translation>Verzeichnis %1 kann nicht erstellt werden.</translation>
    </message>
    <message>
        <location filename="../../device/filetransfer.cpp" line="59"/>
        <location filename="../../device/filetransfer.cpp" line="131"/>
        <location filename="../../device/filetransfer.cpp" line="163"/>
        <source>Cannot create file %1.</source>
        <translation>Datei %1 kann nicht erstellt werden.</translation>
    </message>
    <message>
        <location filename="../../device/filetransfer.cpp" line="190"/>
        <location filename="../../device/filetransfer.cpp" line="233"/>
        <source>Cannot open file %1.</source>
        <translation>Datei %1 kann nicht geöffnet werden.</translation>
    </message>
</context>
<context>
    <name>OfflineMill</name>
    <message>
        <location filename="../../device/offlinemill.cpp" line="74"/>
        <location filename="../../device/offlinemill.cpp" line="183"/>
        <source>Cannot copy %1 into itself.</source>
        <translation>%1 kann nicht in sich selbst kopiert werden.</translation>
    </message>
    <message>
        <location filename="../../device/offlinemill.cpp" line="90"/>
        <source>Cannot create directory %1.</source>
        <translation>Verzeichnis %1 kann nicht erstellt werden.</translation>
    </message>
    <message>
        <location filename="../../device/offlinemill.cpp" line="94"/>
        <source>Cannot copy %1 onto itself.</source>
        <translation>%1 kann nicht auf sich selbst kopiert werden.</translation>
    </message>
    <message>
        <location filename="../../device/offlinemill.cpp" line="99"/>
        <location filename="../../device/offlinemill.cpp" line="105"/>
        <source>Cannot open file %1.</source>
        <translation>Datei %1 kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <location filename="../../device/offlinemill.cpp" line="119"/>
        <location filename="../../device/offlinemill.cpp" line="135"/>
        <source>Cannot read file %1.</source>
        <translation>Datei %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <location filename="../../device/offlinemill.cpp" line="124"/>
        <location filename="../../device/offlinemill.cpp" line="139"/>
        <source>Error while writing to file %1.</source>
        <translation>Fehler beim Schreiben in die Datei %1.</translation>
    </message>
    <message>
        <location filename="../../device/offlinemill.cpp" line="195"/>
        <source>There is not enough free space.</source>
        <translation>Es ist nicht genügend freier Speicherplatz vorhanden.</translation>
    </message>
</context>
</TS>
