<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>DVB24CommunicationProtocolMill</name>
    <message>
        <location filename="../../device/filetransfer.cpp" line="51"/>
        <source>Cannot create directory %1.</source>
        <translation>Nie można utworzyć katalogu %1.</translation>
    </message>
    <message>
        <location filename="../../device/filetransfer.cpp" line="59"/>
        <location filename="../../device/filetransfer.cpp" line="131"/>
        <location filename="../../device/filetransfer.cpp" line="163"/>
        <source>Cannot create file %1.</source>
        <translation>Nie można utworzyć pliku %1.</translation>
    </message>
    <message>
        <location filename="../../device/filetransfer.cpp" line="190"/>
        <location filename="../../device/filetransfer.cpp" line="233"/>
        <source>Cannot open file %1.</source>
        <translation>Nie można otworzyć pliku %1.</translation>
    </message>
</context>
<context>
    <name>OfflineMill</name>
    <message>
        <location filename="../../device/offlinemill.cpp" line="74"/>
        <location filename="../../device/offlinemill.cpp" line="183"/>
        <source>Cannot copy %1 into itself.</source>
        <translation>Nie można skopiować %1 do samego siebie.</translation>
    </message>
    <message>
        <location filename="../../device/offlinemill.cpp" line="90"/>
        <source>Cannot create directory %1.</source>
        <translation>Nie można utworzyć katalogu %1.</translation>
    </message>
    <message>
        <location filename="../../device/offlinemill.cpp" line="94"/>
        <source>Cannot copy %1 onto itself.</source>
        <translation>Nie można skopiować %1 na samego siebie.</translation>
    </message>
    <message>
        <location filename="../../device/offlinemill.cpp" line="99"/>
        <location filename="../../device/offlinemill.cpp" line="105"/>
        <source>Cannot open file %1.</source>
        <translation>Nie można otworzyć pliku %1.</translation>
    </message>
    <message>
        <location filename="../../device/offlinemill.cpp" line="119"/>
        <location filename="../../device/offlinemill.cpp" line="135"/>
        <source>Cannot read file %1.</source>
        <translation>Nie można odczytać pliku %1.</translation>
    </message>
    <message>
        <location filename="../../device/offlinemill.cpp" line="124"/>
        <location filename="../../device/offlinemill.cpp" line="139"/>
        <source>Error while writing to file %1.</source>
        <translation>Błąd podczas zapisu do pliku %1.</translation>
    </message>
    <message>
        <location filename="../../device/offlinemill.cpp" line="195"/>
        <source>There is not enough free space.</source>
        <translation>Za mało wolnego miejsca.</translation>
    </message>
</context>
</TS>
