<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>Ombrelay cannot put anything into the folder %1: its name on the receiver cannot be used to ask for it.</source>
        <translation>Ombrelay nie może niczego umieścić w folderze %1: jego nazwy na odbiorniku nie można użyć, aby o niego zapytać.</translation>
    </message>
</context>
</TS>
