<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>Ombrelay cannot put anything into the folder %1: its name on the receiver cannot be used to ask for it.</source>
        <translation>Ombrelay kann nichts in den Ordner %1 legen: Sein Name auf dem Receiver kann nicht verwendet werden, um ihn abzufragen.</translation>
    </message>
</context>
</TS>
