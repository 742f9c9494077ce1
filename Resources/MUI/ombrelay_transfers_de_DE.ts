<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DVB24CommunicationProtocolMill</name>
    <message>
        <location filename="../../device/transfers/filetransfer.cpp" line="51"/>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="151"/>
        <source>Cannot create directory %1.</source>
        <translation>Verzeichnis %1 kann nicht erstellt werden.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/filetransfer.cpp" line="60"/>
        <location filename="../../device/transfers/filetransfer.cpp" line="133"/>
        <location filename="../../device/transfers/filetransfer.cpp" line="166"/>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="180"/>
        <location filename="../../device/transfers/transfermethods.cpp" line="205"/>
        <source>Cannot create file %1.</source>
        <translation>Datei %1 kann nicht erstellt werden.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/filetransfer.cpp" line="195"/>
        <location filename="../../device/transfers/filetransfer.cpp" line="239"/>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="287"/>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="398"/>
        <source>Cannot open file %1.</source>
        <translation>Datei %1 kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="31"/>
        <source>Device is busy now.</source>
        <translation>Das Gerät ist gerade beschäftigt.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="32"/>
        <location filename="../../device/transfers/listtransfer.cpp" line="41"/>
        <source>Please try again later.</source>
        <translation>Bitte versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="40"/>
        <source>Device is recording programme.</source>
        <translation>Das Gerät nimmt gerade eine Sendung auf.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="53"/>
        <source>Error during downloading.</source>
        <translation>Fehler beim Herunterladen.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="54"/>
        <source>Error during uploading.</source>
        <translation>Fehler beim Hochladen.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="77"/>
        <source>Device is preparing lists...</source>
        <translation>Das Gerät bereitet die Listen vor...</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="158"/>
        <source>Sending lists...</source>
        <translation>Listen werden gesendet...</translation>
    </message>
    <message>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="22"/>
        <source>Cannot copy recording %1.</source>
        <translation>Aufnahme %1 kann nicht kopiert werden.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="27"/>
        <source>Ombrelay could not copy this recording.</source>
        <translation>Ombrelay konnte diese Aufnahme nicht kopieren.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="105"/>
        <source>No recordings to copy.</source>
        <translation>Keine Aufnahmen zum Kopieren.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="279"/>
        <source>Description file is empty. Recording cannot be copied.</source>
        <translation>Die Beschreibungsdatei ist leer. Die Aufnahme kann nicht kopiert werden.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/transfermethods.cpp" line="141"/>
        <source>Please select correct recording.</source>
        <translation>Bitte wählen Sie eine gültige Aufnahme aus.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/transfermethods.cpp" line="169"/>
        <source>There is not enough free space.</source>
        <translation>Es ist nicht genügend freier Speicherplatz vorhanden.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/receiverfoldercommands.cpp" line="94"/>
        <source>The device did not answer.</source>
        <translation>Das Gerät hat nicht geantwortet.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/transferlink.cpp" line="68"/>
        <location filename="../../device/protocol/dvb24communicationprotocolmill.cpp" line="110"/>
        <location filename="../../device/protocol/dvb24communicationprotocolmill.cpp" line="272"/>
        <source>The device did not answer the cancel.</source>
        <translation>Das Gerät hat auf den Abbruch nicht geantwortet.</translation>
    </message>
</context>
<context>
    <name>OfflineMill</name>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="76"/>
        <location filename="../../device/offline/offlinemill.cpp" line="185"/>
        <source>Cannot copy %1 into itself.</source>
        <translation>%1 kann nicht in sich selbst kopiert werden.</translation>
    </message>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="92"/>
        <source>Cannot create directory %1.</source>
        <translation>Verzeichnis %1 kann nicht erstellt werden.</translation>
    </message>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="96"/>
        <source>Cannot copy %1 onto itself.</source>
        <translation>%1 kann nicht auf sich selbst kopiert werden.</translation>
    </message>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="101"/>
        <location filename="../../device/offline/offlinemill.cpp" line="107"/>
        <source>Cannot open file %1.</source>
        <translation>Datei %1 kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="121"/>
        <location filename="../../device/offline/offlinemill.cpp" line="137"/>
        <source>Cannot read file %1.</source>
        <translation>Datei %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="126"/>
        <location filename="../../device/offline/offlinemill.cpp" line="141"/>
        <source>Error while writing to file %1.</source>
        <translation>Fehler beim Schreiben in die Datei %1.</translation>
    </message>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="197"/>
        <source>There is not enough free space.</source>
        <translation>Es ist nicht genügend freier Speicherplatz vorhanden.</translation>
    </message>
</context>
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>These files were not moved, as you chose to keep the existing ones:
%1</source>
        <translation>Diese Dateien wurden nicht verschoben, da Sie die vorhandenen behalten wollten:
%1</translation>
    </message>
</context>
</TS>
