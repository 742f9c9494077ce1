<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>ModelMenu</name>
    <message>
        <location filename="../../widgets/modelmenu.cpp" line="61"/>
        <source>Clear</source>
        <translation>Wyczyść</translation>
    </message>
    <message>
        <location filename="../../widgets/modelmenu.cpp" line="90"/>
        <source>Add</source>
        <translation>Dodaj</translation>
    </message>
    <message>
        <location filename="../../widgets/modelmenu.cpp" line="94"/>
        <source>Remove</source>
        <translation>Usuń</translation>
    </message>
    <message>
        <location filename="../../widgets/modelmenu.cpp" line="103"/>
        <source>Check</source>
        <translation>Zaznacz</translation>
    </message>
    <message>
        <location filename="../../widgets/modelmenu.cpp" line="104"/>
        <source>Uncheck</source>
        <translation>Odznacz</translation>
    </message>
</context>
</TS>
