<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ModelMenu</name>
    <message>
        <location filename="../../widgets/modelmenu.cpp" line="61"/>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <location filename="../../widgets/modelmenu.cpp" line="90"/>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <location filename="../../widgets/modelmenu.cpp" line="94"/>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <location filename="../../widgets/modelmenu.cpp" line="103"/>
        <source>Check</source>
        <translation>Markieren</translation>
    </message>
    <message>
        <location filename="../../widgets/modelmenu.cpp" line="104"/>
        <source>Uncheck</source>
        <translation>Markierung aufheben</translation>
    </message>
</context>
</TS>
