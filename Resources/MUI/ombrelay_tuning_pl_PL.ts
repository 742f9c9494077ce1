<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>TvAdvancedSettingsItemDelegateWidget</name>
    <message>
        <location filename="../../forms/tvadvancedsettingsitemdelegatewidget.ui" line="+49"/>
        <source>Service type</source>
        <translation>Typ usługi</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Satellite</source>
        <translation>Satelitarna</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Terrestrial</source>
        <translation>Naziemna cyfrowa</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Cable</source>
        <translation>Kablowa</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Analogue</source>
        <translation>Naziemna analogowa</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>External source</source>
        <translation>Źródło zewnętrzne</translation>
    </message>
    <message>
        <location line="+87"/>
        <location line="+506"/>
        <location line="+229"/>
        <source>Service ID</source>
        <translation>ID usługi (SID)</translation>
    </message>
    <message>
        <location line="-680"/>
        <source>Modulation system</source>
        <translation>System modulacji</translation>
    </message>
    <message>
        <location line="+80"/>
        <source>Transponder frequency [MHz]</source>
        <translation>Częstotliwość transpondera</translation>
    </message>
    <message>
        <location line="+50"/>
        <location line="+367"/>
        <source>Symbol rate [KSps]</source>
        <translation>Prędkość bitowa [KSps]</translation>
    </message>
    <message>
        <location line="-317"/>
        <source>Polarization</source>
        <translation>Polaryzacja</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>Horizontal</source>
        <translation>Pozioma</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Vertical</source>
        <translation>Pionowa</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Satellite position [°]</source>
        <translation>Pozycja satelity</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>Click here to select predefined satellite</source>
        <translation>Kliknij by wybrać satelitę z listy</translation>
    </message>
    <message>
        <location line="+77"/>
        <location line="+235"/>
        <source>Select frequency by channel name</source>
        <translation>Wybierz częstotliwość
na podstawie nazwy kanału</translation>
    </message>
    <message>
        <location line="-216"/>
        <location line="+235"/>
        <location line="+122"/>
        <source>Frequency [MHz]</source>
        <translation>Częstotliwość [MHz]</translation>
    </message>
    <message>
        <location line="-354"/>
        <location line="+235"/>
        <source>Centre Frequency</source>
        <translation>Częstotliwość środkowa</translation>
    </message>
    <message>
        <location line="-113"/>
        <source>Modulation [QAM]</source>
        <translation>Modulacja [QAM]</translation>
    </message>
    <message>
        <location line="+213"/>
        <source>Select by channel</source>
        <translation>Wybierz wg kanału</translation>
    </message>
</context>
</TS>
