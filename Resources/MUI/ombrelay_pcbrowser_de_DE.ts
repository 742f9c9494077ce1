<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>%1 is no longer there.</source>
        <translation>%1 ist nicht mehr vorhanden.</translation>
    </message>
    <message>
        <source>Choose the folder to paste into first.</source>
        <translation>Wählen Sie zuerst den Ordner, in den eingefügt werden soll.</translation>
    </message>
    <message>
        <source>Choose the folder to make the new folder in first.</source>
        <translation>Wählen Sie zuerst den Ordner, in dem der neue Ordner angelegt werden soll.</translation>
    </message>
</context>
<context>
    <name>MediaExplorerTreeView</name>
    <message>
        <source>%1 is no longer there.</source>
        <translation>%1 ist nicht mehr vorhanden.</translation>
    </message>
</context>
</TS>
