<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>ZBDeviceFileSystemModel</name>
    <message>
        <source>Ombrelay cannot open the folder %1: its name on the receiver cannot be used to ask for it.</source>
        <translation>Ombrelay nie może otworzyć folderu %1: jego nazwy na odbiorniku nie można użyć, aby o niego zapytać.</translation>
    </message>
</context>
</TS>
