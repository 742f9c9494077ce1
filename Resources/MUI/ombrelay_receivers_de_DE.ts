<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Settings</name>
    <message>
        <source>The settings could not be saved to &quot;%1&quot;.</source>
        <translation>Die Einstellungen konnten nicht in „%1“ gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>NewDeviceModule</name>
    <message>
        <source>End IP is not valid.</source>
        <translation>Die End-IP ist ungültig.</translation>
    </message>
</context>
<context>
    <name>ZBDeviceCollection</name>
    <message>
        <source>entry %1 (line %2)</source>
        <translation>Eintrag %1 (Zeile %2)</translation>
    </message>
    <message>
        <source>entry %1 &quot;%2&quot; (line %3)</source>
        <translation>Eintrag %1 „%2“ (Zeile %3)</translation>
    </message>
    <message>
        <source>%1: its address %2 is already used by another device</source>
        <translation>%1: seine Adresse %2 wird bereits von einem anderen Gerät verwendet</translation>
    </message>
    <message>
        <source>entry %1 (line %2): an unknown element &quot;%3&quot;</source>
        <translation>Eintrag %1 (Zeile %2): ein unbekanntes Element „%3“</translation>
    </message>
    <message>
        <source>the list itself (its first element is &quot;%1&quot;, not &quot;devices&quot;)</source>
        <translation>die Liste selbst (ihr erstes Element ist „%1“, nicht „devices“)</translation>
    </message>
    <message>
        <source>the list itself (line %1: %2)</source>
        <translation>die Liste selbst (Zeile %1: %2)</translation>
    </message>
    <message>
        <source>The list of devices was not saved: the stored list could not be read whole and could not be copied to &quot;%1&quot;, so it is left as it is.</source>
        <translation>Die Geräteliste wurde nicht gespeichert: Die gespeicherte Liste konnte nicht vollständig gelesen und nicht nach „%1“ kopiert werden, daher bleibt sie unverändert.</translation>
    </message>
    <message>
        <source>The list of devices as shown now was not saved and will be lost when Ombrelay closes.</source>
        <translation>Die Geräteliste in ihrer jetzigen Form wurde nicht gespeichert und geht verloren, wenn Ombrelay beendet wird.</translation>
    </message>
    <message>
        <source>The saved list of devices could not be read whole. Devices loaded: %1.</source>
        <translation>Die gespeicherte Geräteliste konnte nicht vollständig gelesen werden. Geladene Geräte: %1.</translation>
    </message>
    <message>
        <source>Could not be read: %1.</source>
        <translation>Nicht gelesen werden konnte: %1.</translation>
    </message>
    <message>
        <source>The list as it was stored could not be copied (the settings file &quot;%1&quot; could not be written); it is left as it is, and changes to the devices will not be saved.</source>
        <translation>Die Liste konnte in ihrer gespeicherten Form nicht kopiert werden (die Einstellungsdatei „%1“ konnte nicht geschrieben werden); sie bleibt unverändert, und Änderungen an den Geräten werden nicht gespeichert.</translation>
    </message>
    <message>
        <source>The list as it was stored is kept in the settings file &quot;%1&quot; under &quot;%2&quot;. The list itself is rewritten only when the devices are changed.</source>
        <translation>Die Liste in ihrer gespeicherten Form bleibt in der Einstellungsdatei „%1“ unter „%2“ erhalten. Die Liste selbst wird erst neu geschrieben, wenn die Geräte geändert werden.</translation>
    </message>
</context>
</TS>
