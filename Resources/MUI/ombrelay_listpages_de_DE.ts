<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DVB24CommunicationProtocolMill</name>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="52"/>
        <source>The connection to the device was lost.</source>
        <translation>Die Verbindung zum Gerät ist abgebrochen.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="55"/>
        <source>The lists were not downloaded.</source>
        <translation>Die Listen wurden nicht heruntergeladen.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="57"/>
        <source>The lists were not sent.</source>
        <translation>Die Listen wurden nicht gesendet.</translation>
    </message>
</context>
</TS>
