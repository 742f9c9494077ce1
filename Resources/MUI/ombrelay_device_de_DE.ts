<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DVB24CommunicationExceptionMessages</name>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="9"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="11"/>
        <source>Genereal Error (STB)</source>
        <translation>Allgemeiner Fehler (Receiver)</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="13"/>
        <source>Command unknown</source>
        <translation>Befehl unbekannt</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="15"/>
        <source>Not found</source>
        <translation>Nicht gefunden</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="17"/>
        <source>Device is busy now.</source>
        <translation>Das Gerät ist gerade beschäftigt.</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="17"/>
        <source>Please try again later.</source>
        <translation>Bitte versuchen Sie es später noch einmal.</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="19"/>
        <source>User Abort</source>
        <translation>Abbruch durch den Benutzer</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="21"/>
        <source>Action pending</source>
        <translation>Aktion läuft noch</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="23"/>
        <source>End Of File (STB)</source>
        <translation>Dateiende (Receiver)</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="25"/>
        <source>Out Of Handle</source>
        <translation>Keine Handles mehr frei</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="27"/>
        <source>Unknown exception</source>
        <translation>Unbekannter Fehler</translation>
    </message>
</context>
<context>
    <name>DVB24CommunicationProtocolMill</name>
    <message>
        <location filename="../../device/protocol/dvb24communicationprotocolmill.cpp" line="312"/>
        <source>The device does not know the request &quot;%1&quot;.</source>
        <translation>Das Gerät kennt die Anfrage „%1“ nicht.</translation>
    </message>
</context>
<context>
    <name>Mill</name>
    <message>
        <location filename="../../device/core/mill.cpp" line="18"/>
        <source>Unknow error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <location filename="../../device/core/mill.cpp" line="367"/>
        <source>The connection to the device was interrupted.</source>
        <translation>Die Verbindung zum Gerät wurde unterbrochen.</translation>
    </message>
    <message>
        <location filename="../../device/core/mill.cpp" line="371"/>
        <source>The request could not be read.</source>
        <translation>Die Anfrage konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The connection to the device could not be established.</source>
        <translation>Die Verbindung zum Gerät konnte nicht hergestellt werden.</translation>
    </message>
</context>
</TS>
