<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>MainWindow</name>
    <message>
        <source>Ombrelay is processing data with %1. Do you want to stop it and remove the device?</source>
        <translation>Ombrelay przetwarza dane z %1. Czy chcesz je przerwać i usunąć urządzenie?</translation>
    </message>
    <message>
        <source>Ombrelay is processing data with %1. Do you want to stop it and disconnect?</source>
        <translation>Ombrelay przetwarza dane z %1. Czy chcesz je przerwać i rozłączyć?</translation>
    </message>
    <message>
        <source>The connection to %1 was lost.</source>
        <translation>Połączenie z %1 zostało utracone.</translation>
    </message>
    <message>
        <source>Ombrelay could not establish connection to %1.</source>
        <translation>Ombrelay nie mógł nawiązać połączenia z %1.</translation>
    </message>
</context>
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>Ombrelay is processing data with %1. Do you want to stop it and remove the device?</source>
        <translation>Ombrelay przetwarza dane z %1. Czy chcesz je przerwać i usunąć urządzenie?</translation>
    </message>
</context>
</TS>
