<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ZBDeviceFileSystemModel</name>
    <message>
        <source>Ombrelay cannot open the folder %1: its name on the receiver cannot be used to ask for it.</source>
        <translation>Ombrelay kann den Ordner %1 nicht öffnen: Sein Name auf dem Receiver kann nicht verwendet werden, um ihn abzufragen.</translation>
    </message>
</context>
</TS>
