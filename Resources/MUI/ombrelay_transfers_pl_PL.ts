<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>DVB24CommunicationProtocolMill</name>
    <message>
        <location filename="../../device/transfers/filetransfer.cpp" line="51"/>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="151"/>
        <source>Cannot create directory %1.</source>
        <translation>Nie można utworzyć katalogu %1.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/filetransfer.cpp" line="60"/>
        <location filename="../../device/transfers/filetransfer.cpp" line="133"/>
        <location filename="../../device/transfers/filetransfer.cpp" line="166"/>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="180"/>
        <location filename="../../device/transfers/transfermethods.cpp" line="205"/>
        <source>Cannot create file %1.</source>
        <translation>Nie można utworzyć pliku %1.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/filetransfer.cpp" line="195"/>
        <location filename="../../device/transfers/filetransfer.cpp" line="239"/>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="287"/>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="398"/>
        <source>Cannot open file %1.</source>
        <translation>Nie można otworzyć pliku %1.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="31"/>
        <source>Device is busy now.</source>
        <translation>Urządzenie jest teraz zajęte.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="32"/>
        <location filename="../../device/transfers/listtransfer.cpp" line="41"/>
        <source>Please try again later.</source>
        <translation>Spróbuj ponownie później.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="40"/>
        <source>Device is recording programme.</source>
        <translation>Urządzenie nagrywa program.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="53"/>
        <source>Error during downloading.</source>
        <translation>Błąd podczas pobierania.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="54"/>
        <source>Error during uploading.</source>
        <translation>Błąd podczas wysyłania.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="77"/>
        <source>Device is preparing lists...</source>
        <translation>Urządzenie przygotowuje listy...</translation>
    </message>
    <message>
        <location filename="../../device/transfers/listtransfer.cpp" line="158"/>
        <source>Sending lists...</source>
        <translation>Wysyłanie list...</translation>
    </message>
    <message>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="22"/>
        <source>Cannot copy recording %1.</source>
        <translation>Nie można skopiować nagrania %1.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="27"/>
        <source>Ombrelay could not copy this recording.</source>
        <translation>Ombrelay nie mógł skopiować tego nagrania.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="105"/>
        <source>No recordings to copy.</source>
        <translation>Brak nagrań do skopiowania.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/recordingtransfer.cpp" line="279"/>
        <source>Description file is empty. Recording cannot be copied.</source>
        <translation>Plik opisu jest pusty. Nie można skopiować nagrania.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/transfermethods.cpp" line="141"/>
        <source>Please select correct recording.</source>
        <translation>Wybierz prawidłowe nagranie.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/transfermethods.cpp" line="169"/>
        <source>There is not enough free space.</source>
        <translation>Za mało wolnego miejsca.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/receiverfoldercommands.cpp" line="94"/>
        <source>The device did not answer.</source>
        <translation>Urządzenie nie odpowiedziało.</translation>
    </message>
    <message>
        <location filename="../../device/transfers/transferlink.cpp" line="68"/>
        <location filename="../../device/protocol/dvb24communicationprotocolmill.cpp" line="110"/>
        <location filename="../../device/protocol/dvb24communicationprotocolmill.cpp" line="272"/>
        <source>The device did not answer the cancel.</source>
        <translation>Urządzenie nie odpowiedziało na anulowanie.</translation>
    </message>
</context>
<context>
    <name>OfflineMill</name>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="76"/>
        <location filename="../../device/offline/offlinemill.cpp" line="185"/>
        <source>Cannot copy %1 into itself.</source>
        <translation>Nie można skopiować %1 do samego siebie.</translation>
    </message>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="92"/>
        <source>Cannot create directory %1.</source>
        <translation>Nie można utworzyć katalogu %1.</translation>
    </message>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="96"/>
        <source>Cannot copy %1 onto itself.</source>
        <translation>Nie można skopiować %1 na samego siebie.</translation>
    </message>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="101"/>
        <location filename="../../device/offline/offlinemill.cpp" line="107"/>
        <source>Cannot open file %1.</source>
        <translation>Nie można otworzyć pliku %1.</translation>
    </message>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="121"/>
        <location filename="../../device/offline/offlinemill.cpp" line="137"/>
        <source>Cannot read file %1.</source>
        <translation>Nie można odczytać pliku %1.</translation>
    </message>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="126"/>
        <location filename="../../device/offline/offlinemill.cpp" line="141"/>
        <source>Error while writing to file %1.</source>
        <translation>Błąd podczas zapisu do pliku %1.</translation>
    </message>
    <message>
        <location filename="../../device/offline/offlinemill.cpp" line="197"/>
        <source>There is not enough free space.</source>
        <translation>Za mało wolnego miejsca.</translation>
    </message>
</context>
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>These files were not moved, as you chose to keep the existing ones:
%1</source>
        <translation>Te pliki nie zostały przeniesione, ponieważ wybrano zachowanie istniejących:
%1</translation>
    </message>
</context>
</TS>
