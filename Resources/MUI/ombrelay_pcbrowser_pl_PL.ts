<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>%1 is no longer there.</source>
        <translation>Element %1 już nie istnieje.</translation>
    </message>
    <message>
        <source>Choose the folder to paste into first.</source>
        <translation>Wybierz najpierw folder, do którego chcesz wkleić.</translation>
    </message>
    <message>
        <source>Choose the folder to make the new folder in first.</source>
        <translation>Wybierz najpierw folder, w którym ma zostać utworzony nowy folder.</translation>
    </message>
</context>
<context>
    <name>MediaExplorerTreeView</name>
    <message>
        <source>%1 is no longer there.</source>
        <translation>Element %1 już nie istnieje.</translation>
    </message>
</context>
</TS>
