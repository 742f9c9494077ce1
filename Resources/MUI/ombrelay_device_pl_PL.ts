<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
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
        <translation>Błąd ogólny (odbiornik)</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="13"/>
        <source>Command unknown</source>
        <translation>Nieznane polecenie</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="15"/>
        <source>Not found</source>
        <translation>Nie znaleziono</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="17"/>
        <source>Device is busy now.</source>
        <translation>Urządzenie jest teraz zajęte.</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="17"/>
        <source>Please try again later.</source>
        <translation>Spróbuj ponownie później.</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="19"/>
        <source>User Abort</source>
        <translation>Przerwane przez użytkownika</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="21"/>
        <source>Action pending</source>
        <translation>Operacja w toku</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="23"/>
        <source>End Of File (STB)</source>
        <translation>Koniec pliku (odbiornik)</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="25"/>
        <source>Out Of Handle</source>
        <translation>Brak wolnych uchwytów</translation>
    </message>
    <message>
        <location filename="../../device/protocol/dvb24communicationexceptionmessages.cpp" line="27"/>
        <source>Unknown exception</source>
        <translation>Nieznany wyjątek</translation>
    </message>
</context>
<context>
    <name>DVB24CommunicationProtocolMill</name>
    <message>
        <location filename="../../device/protocol/dvb24communicationprotocolmill.cpp" line="312"/>
        <source>The device does not know the request &quot;%1&quot;.</source>
        <translation>Urządzenie nie zna żądania „%1”.</translation>
    </message>
</context>
<context>
    <name>Mill</name>
    <message>
        <location filename="../../device/core/mill.cpp" line="18"/>
        <source>Unknow error</source>
        <translation>Nieznany błąd</translation>
    </message>
    <message>
        <location filename="../../device/core/mill.cpp" line="367"/>
        <source>The connection to the device was interrupted.</source>
        <translation>Połączenie z urządzeniem zostało przerwane.</translation>
    </message>
    <message>
        <location filename="../../device/core/mill.cpp" line="371"/>
        <source>The request could not be read.</source>
        <translation>Nie można odczytać żądania.</translation>
    </message>
    <message>
        <source>The connection to the device could not be established.</source>
        <translation>Nie można nawiązać połączenia z urządzeniem.</translation>
    </message>
</context>
</TS>
