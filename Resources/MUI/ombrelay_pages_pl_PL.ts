<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>ListsModuleShared</name>
    <message>
        <source>The transfer was stopped.</source>
        <translation>Przesyłanie zostało zatrzymane.</translation>
    </message>
    <message>
        <source>Ombrelay is processing data. Do you want to stop and exit?</source>
        <translation>Ombrelay przetwarza dane. Czy chcesz przerwać i zakończyć?</translation>
    </message>
    <message>
        <source>The device is not connected.</source>
        <translation>Urządzenie nie jest połączone.</translation>
    </message>
</context>
</TS>
