<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>Settings</name>
    <message>
        <source>The settings could not be saved to &quot;%1&quot;.</source>
        <translation>Nie udało się zapisać ustawień w „%1”.</translation>
    </message>
</context>
<context>
    <name>NewDeviceModule</name>
    <message>
        <source>End IP is not valid.</source>
        <translation>Końcowy adres IP jest nieprawidłowy.</translation>
    </message>
</context>
<context>
    <name>ZBDeviceCollection</name>
    <message>
        <source>entry %1 (line %2)</source>
        <translation>wpis %1 (wiersz %2)</translation>
    </message>
    <message>
        <source>entry %1 &quot;%2&quot; (line %3)</source>
        <translation>wpis %1 „%2” (wiersz %3)</translation>
    </message>
    <message>
        <source>%1: its address %2 is already used by another device</source>
        <translation>%1: jego adres %2 jest już używany przez inne urządzenie</translation>
    </message>
    <message>
        <source>entry %1 (line %2): an unknown element &quot;%3&quot;</source>
        <translation>wpis %1 (wiersz %2): nieznany element „%3”</translation>
    </message>
    <message>
        <source>the list itself (its first element is &quot;%1&quot;, not &quot;devices&quot;)</source>
        <translation>sama lista (jej pierwszym elementem jest „%1”, a nie „devices”)</translation>
    </message>
    <message>
        <source>the list itself (line %1: %2)</source>
        <translation>sama lista (wiersz %1: %2)</translation>
    </message>
    <message>
        <source>The list of devices was not saved: the stored list could not be read whole and could not be copied to &quot;%1&quot;, so it is left as it is.</source>
        <translation>Lista urządzeń nie została zapisana: zapisanej listy nie udało się odczytać w całości ani skopiować do „%1”, dlatego pozostaje bez zmian.</translation>
    </message>
    <message>
        <source>The list of devices as shown now was not saved and will be lost when Ombrelay closes.</source>
        <translation>Obecna lista urządzeń nie została zapisana i zostanie utracona po zamknięciu programu Ombrelay.</translation>
    </message>
    <message>
        <source>The saved list of devices could not be read whole. Devices loaded: %1.</source>
        <translation>Zapisanej listy urządzeń nie udało się odczytać w całości. Wczytane urządzenia: %1.</translation>
    </message>
    <message>
        <source>Could not be read: %1.</source>
        <translation>Nie udało się odczytać: %1.</translation>
    </message>
    <message>
        <source>The list as it was stored could not be copied (the settings file &quot;%1&quot; could not be written); it is left as it is, and changes to the devices will not be saved.</source>
        <translation>Nie udało się skopiować listy w zapisanej postaci (nie można zapisać pliku ustawień „%1”); pozostaje ona bez zmian, a zmiany urządzeń nie zostaną zapisane.</translation>
    </message>
    <message>
        <source>The list as it was stored is kept in the settings file &quot;%1&quot; under &quot;%2&quot;. The list itself is rewritten only when the devices are changed.</source>
        <translation>Lista w zapisanej postaci jest zachowana w pliku ustawień „%1” pod kluczem „%2”. Sama lista zostanie zapisana ponownie dopiero po zmianie urządzeń.</translation>
    </message>
</context>
</TS>
