<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>DVB24CommunicationProtocolMill</name>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="52"/>
        <source>The connection to the device was lost.</source>
        <translation>Połączenie z urządzeniem zostało utracone.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="55"/>
        <source>The lists were not downloaded.</source>
        <translation>Listy nie zostały pobrane.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="57"/>
        <source>The lists were not sent.</source>
        <translation>Listy nie zostały wysłane.</translation>
    </message>
</context>
</TS>
