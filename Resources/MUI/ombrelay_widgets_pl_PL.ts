<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>BooleanModel</name>
    <message>
        <location filename="../../widgets/booleanmodel.cpp" line="11"/>
        <source>Enabled</source>
        <translation>Włączone</translation>
    </message>
    <message>
        <location filename="../../widgets/booleanmodel.cpp" line="12"/>
        <source>Disabled</source>
        <translation>Wyłączone</translation>
    </message>
</context>
<context>
    <name>FilterMenuModel</name>
    <message>
        <location filename="../../widgets/filtermenumodel.cpp" line="53"/>
        <location filename="../../widgets/filtermenumodel.cpp" line="151"/>
        <source>(empty)</source>
        <translation>(puste)</translation>
    </message>
</context>
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
<context>
    <name>MultipleChoiceWidget</name>
    <message>
        <location filename="../../forms/multiplechoicewidget.ui" line="83"/>
        <location filename="../../widgets/multiplechoicewidget.cpp" line="137"/>
        <source>New choice...</source>
        <translation>Nowy wybór...</translation>
    </message>
    <message>
        <location filename="../../forms/multiplechoicewidget.ui" line="105"/>
        <location filename="../../widgets/multiplechoicewidget.cpp" line="138"/>
        <source>Add</source>
        <translation>Dodaj</translation>
    </message>
</context>
<context>
    <name>STableView</name>
    <message>
        <location filename="../../widgets/stableview.cpp" line="36"/>
        <location filename="../../widgets/stableview.cpp" line="160"/>
        <source>&amp;Cut</source>
        <translation>&amp;Wytnij</translation>
    </message>
    <message>
        <location filename="../../widgets/stableview.cpp" line="36"/>
        <location filename="../../widgets/stableview.cpp" line="158"/>
        <source>C&amp;opy</source>
        <translation>&amp;Kopiuj</translation>
    </message>
    <message>
        <location filename="../../widgets/stableview.cpp" line="37"/>
        <location filename="../../widgets/stableview.cpp" line="166"/>
        <source>&amp;Paste</source>
        <translation>Wk&amp;lej</translation>
    </message>
    <message>
        <location filename="../../widgets/stableview.cpp" line="37"/>
        <location filename="../../widgets/stableview.cpp" line="162"/>
        <source>&amp;Delete</source>
        <translation>&amp;Usuń</translation>
    </message>
    <message>
        <location filename="../../widgets/stableview.cpp" line="38"/>
        <location filename="../../widgets/stableview.cpp" line="164"/>
        <source>Select &amp;All</source>
        <translation>Zaznacz &amp;wszystko</translation>
    </message>
</context>
<context>
    <name>FileHelpers</name>
    <message>
        <source>byte(s)</source>
        <translation>bajt(ów)</translation>
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
