<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>TvAdvancedSettingsItemDelegateWidget</name>
    <message>
        <location filename="../../forms/tvadvancedsettingsitemdelegatewidget.ui" line="+49"/>
        <source>Service type</source>
        <translation>Service-Typ</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Satellite</source>
        <translation>Satellit</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Terrestrial</source>
        <translation>Terrestrisch</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Cable</source>
        <translation>Kabel</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Analogue</source>
        <translation>Analog</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>External source</source>
        <translation>Externe Quelle</translation>
    </message>
    <message>
        <location line="+87"/>
        <location line="+506"/>
        <location line="+229"/>
        <source>Service ID</source>
        <translation>Service-ID</translation>
    </message>
    <message>
        <location line="-680"/>
        <source>Modulation system</source>
        <translation>Modulation</translation>
    </message>
    <message>
        <location line="+80"/>
        <source>Transponder frequency [MHz]</source>
        <translation>Transponderfrequenz [MHz]</translation>
    </message>
    <message>
        <location line="+50"/>
        <location line="+367"/>
        <source>Symbol rate [KSps]</source>
        <translation>Symbolrate [KSps]</translation>
    </message>
    <message>
        <location line="-317"/>
        <source>Polarization</source>
        <translation>Polarisation</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Horizontal</source>
        <translation>Horizontal</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Vertical</source>
        <translation>Vertikal</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Satellite position [°]</source>
        <translation>Satellitenposition [°]</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>Click here to select predefined satellite</source>
        <translation>Vordefinierten Satelliten auswählen</translation>
    </message>
    <message>
        <location line="+77"/>
        <location line="+235"/>
        <source>Select frequency by channel name</source>
        <translation>Frequenz anhand des Sendernamens wählen</translation>
    </message>
    <message>
        <location line="-216"/>
        <location line="+235"/>
        <location line="+122"/>
        <source>Frequency [MHz]</source>
        <translation>Frequenz [MHz]</translation>
    </message>
    <message>
        <location line="-354"/>
        <location line="+235"/>
        <source>Centre Frequency</source>
        <translation>Mittenfrequenz</translation>
    </message>
    <message>
        <location line="-113"/>
        <source>Modulation [QAM]</source>
        <translation>Modulation [QAM]</translation>
    </message>
    <message>
        <location line="+213"/>
        <source>Select by channel</source>
        <translation>Nach Kanal auswählen</translation>
    </message>
</context>
</TS>
