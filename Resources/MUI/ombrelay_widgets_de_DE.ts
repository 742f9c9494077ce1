<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BooleanModel</name>
    <message>
        <location filename="../../widgets/booleanmodel.cpp" line="11"/>
        <source>Enabled</source>
        <translation>Aktiviert</translation>
    </message>
    <message>
        <location filename="../../widgets/booleanmodel.cpp" line="12"/>
        <source>Disabled</source>
        <translation>Deaktiviert</translation>
    </message>
</context>
<context>
    <name>FilterMenuModel</name>
    <message>
        <location filename="../../widgets/filtermenumodel.cpp" line="53"/>
        <location filename="../../widgets/filtermenumodel.cpp" line="151"/>
        <source>(empty)</source>
        <translation>(leer)</translation>
    </message>
</context>
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
<context>
    <name>MultipleChoiceWidget</name>
    <message>
        <location filename="../../forms/multiplechoicewidget.ui" line="83"/>
        <location filename="../../widgets/multiplechoicewidget.cpp" line="137"/>
        <source>New choice...</source>
        <translation>Neue Auswahl...</translation>
    </message>
    <message>
        <location filename="../../forms/multiplechoicewidget.ui" line="105"/>
        <location filename="../../widgets/multiplechoicewidget.cpp" line="138"/>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
</context>
<context>
    <name>STableView</name>
    <message>
        <location filename="../../widgets/stableview.cpp" line="36"/>
        <location filename="../../widgets/stableview.cpp" line="160"/>
        <source>&amp;Cut</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <location filename="../../widgets/stableview.cpp" line="36"/>
        <location filename="../../widgets/stableview.cpp" line="158"/>
        <source>C&amp;opy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <location filename="../../widgets/stableview.cpp" line="37"/>
        <location filename="../../widgets/stableview.cpp" line="166"/>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <location filename="../../widgets/stableview.cpp" line="37"/>
        <location filename="../../widgets/stableview.cpp" line="162"/>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <location filename="../../widgets/stableview.cpp" line="38"/>
        <location filename="../../widgets/stableview.cpp" line="164"/>
        <source>Select &amp;All</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
</context>
<context>
    <name>FileHelpers</name>
    <message>
        <source>byte(s)</source>
        <translation>Byte</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>MB</translation>
    </message>
    <message>
        <source>GB</source>
        <translation>GB</translation>
    </message>
    <message>
        <source>TB</source>
        <translation>TB</translation>
    </message>
</context>
</TS>
