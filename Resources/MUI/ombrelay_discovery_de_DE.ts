<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DeviceModule</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>TV List Editor</source>
        <translation>TV-Listen-Editor</translation>
    </message>
    <message>
        <source>Allows you to edit favourite lists for your device</source>
        <translation>Bearbeiten Sie die Favoritenlisten Ihres Geräts</translation>
    </message>
    <message>
        <source>Radio List Editor</source>
        <translation>Radiolisten-Editor</translation>
    </message>
    <message>
        <source>Link List Editor</source>
        <translation>Linklisten-Editor</translation>
    </message>
    <message>
        <source>Media Explorer</source>
        <translation>Medien-Explorer</translation>
    </message>
    <message>
        <source>Allows you to download and manage your DVR content</source>
        <translation>Laden und verwalten Sie die Aufnahmen Ihres Geräts</translation>
    </message>
    <message>
        <source>Device Connection Properties</source>
        <translation>Verbindungseigenschaften des Geräts</translation>
    </message>
    <message>
        <source>Allows you to change device name, ip address and password</source>
        <translation>Ändern Sie Gerätename, IP-Adresse und Passwort</translation>
    </message>
</context>
<context>
    <name>DevicePropertiesModule</name>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Remember password</source>
        <translation>Passwort merken</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Remove device</source>
        <translation>Gerät entfernen</translation>
    </message>
    <message>
        <source>Device native name:</source>
        <translation>Ursprünglicher Gerätename:</translation>
    </message>
    <message>
        <source>Device share name:</source>
        <translation>Freigabename des Geräts:</translation>
    </message>
    <message>
        <source>Device given name:</source>
        <translation>Vergebener Gerätename:</translation>
    </message>
    <message>
        <source>IP address:</source>
        <translation>IP-Adresse:</translation>
    </message>
    <message>
        <source>MAC address:</source>
        <translation>MAC-Adresse:</translation>
    </message>
    <message>
        <source>Hardware version:</source>
        <translation>Hardwareversion:</translation>
    </message>
    <message>
        <source>Software version:</source>
        <translation>Softwareversion:</translation>
    </message>
    <message>
        <source>Protocol version:</source>
        <translation>Protokollversion:</translation>
    </message>
    <message>
        <source>000.000.000.000; </source>
        <translation>000.000.000.000; </translation>
    </message>
    <message>
        <source>Device&apos;s properties</source>
        <translation>Eigenschaften des Geräts</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Please enter a valid IP address before save.</source>
        <translation>Bitte geben Sie vor dem Speichern eine gültige IP-Adresse ein.</translation>
    </message>
    <message>
        <source>This IP is being used by another device.</source>
        <translation>Diese IP wird bereits von einem anderen Gerät verwendet.</translation>
    </message>
</context>
<context>
    <name>DeviceSelectDialog</name>
    <message>
        <source>Dialog</source>
        <translation type="vanished">Dialog</translation>
    </message>
    <message>
        <source>Please select the device(s) the file shall be applied for!</source>
        <translation>Bitte wählen Sie die Geräte, für die die Datei bestimmt ist!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Opening file...</source>
        <translation>Datei wird geöffnet...</translation>
    </message>
</context>
<context>
    <name>NewDeviceModule</name>
    <message>
        <source>Search for connected devices</source>
        <translation>Nach angeschlossenen Geräten suchen</translation>
    </message>
    <message>
        <source>Automatically connect to all discovered devices</source>
        <translation>Automatisch mit allen gefundenen Geräten verbinden</translation>
    </message>
    <message>
        <source>Search
settings</source>
        <translation>Such-
einstellungen</translation>
    </message>
    <message>
        <source>Connect to specific device</source>
        <translation>Mit einem bestimmten Gerät verbinden</translation>
    </message>
    <message>
        <source>Set up device&apos;s IP address</source>
        <translation>IP-Adresse des Geräts eingeben</translation>
    </message>
    <message>
        <source>Add new device managed by USB pendrive</source>
        <translation>Neues Gerät hinzufügen, das per USB-Stick verwaltet wird</translation>
    </message>
    <message>
        <source>Select this option if network connection is not possible</source>
        <translation>Wählen Sie diese Option, wenn keine Netzwerkverbindung möglich ist</translation>
    </message>
    <message>
        <source>Enter device&apos;s IP address</source>
        <translation>IP-Adresse des Geräts eingeben</translation>
    </message>
    <message>
        <source>Please enter a valid IP address. Ex. 192.168.001.011.</source>
        <translation>Bitte geben Sie eine gültige IP-Adresse ein, z. B. 192.168.001.011.</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>Verbindung wird hergestellt...</translation>
    </message>
    <message>
        <source>Go Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Device&apos;s name</source>
        <translation>Name des Geräts</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Remember password</source>
        <translation>Passwort merken</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;/head&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Ombrelay could not connect to any device.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;/head&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Ombrelay konnte sich mit keinem Gerät verbinden.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Uncheck all</source>
        <translation>Alle abwählen</translation>
    </message>
    <message>
        <source>Add to device list and finish</source>
        <translation>Zur Geräteliste hinzufügen und beenden</translation>
    </message>
    <message>
        <source>Stop search</source>
        <translation>Suche anhalten</translation>
    </message>
    <message>
        <source>Search all available network interfaces</source>
        <translation>Alle verfügbaren Netzwerkschnittstellen durchsuchen</translation>
    </message>
    <message>
        <source>Search specified scope of IP addresses</source>
        <translation>Angegebenen IP-Adressbereich durchsuchen</translation>
    </message>
    <message>
        <source>000.000.000.000; </source>
        <translation>000.000.000.000; </translation>
    </message>
    <message>
        <source>Search start:</source>
        <translation>Suchbeginn:</translation>
    </message>
    <message>
        <source>Search end:</source>
        <translation>Suchende:</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>fast scan</source>
        <translation>Schnellsuche</translation>
    </message>
    <message>
        <source>check connection before search starts (tests only)</source>
        <translation>Verbindung vor der Suche prüfen (nur für Tests)</translation>
    </message>
    <message>
        <source>There is no network connection available. Please make sure a network cable is plugged in.</source>
        <translation>Es ist keine Netzwerkverbindung verfügbar. Bitte prüfen Sie, ob ein Netzwerkkabel eingesteckt ist.</translation>
    </message>
    <message>
        <source>The search range may hold at most 65536 addresses.</source>
        <translation>Der Suchbereich darf höchstens 65536 Adressen umfassen.</translation>
    </message>
    <message>
        <source>Initializing...</source>
        <translation>Initialisierung...</translation>
    </message>
    <message>
        <source>Searching for devices...</source>
        <translation>Geräte werden gesucht...</translation>
    </message>
    <message>
        <source>Connected to %1</source>
        <translation>Verbunden mit %1</translation>
    </message>
    <message>
        <source>IP address: %1</source>
        <translation>IP-Adresse: %1</translation>
    </message>
    <message>
        <source>MAC address: %1</source>
        <translation>MAC-Adresse: %1</translation>
    </message>
    <message>
        <source>Hardware version: %1</source>
        <translation>Hardwareversion: %1</translation>
    </message>
    <message>
        <source>Software version: %1</source>
        <translation>Softwareversion: %1</translation>
    </message>
    <message>
        <source>Protocol version: %1</source>
        <translation>Protokollversion: %1</translation>
    </message>
    <message>
        <source>Ombrelay could not establish connection to this device. Would you like to add it anyway?</source>
        <translation>Ombrelay konnte keine Verbindung zu diesem Gerät herstellen. Möchten Sie es trotzdem hinzufügen?</translation>
    </message>
    <message>
        <source>Unknown device</source>
        <translation>Unbekanntes Gerät</translation>
    </message>
    <message>
        <source>Search is stopping. Please wait.</source>
        <translation>Die Suche wird angehalten. Bitte warten.</translation>
    </message>
    <message>
        <source>Check all</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Start IP is not valid.</source>
        <translation>Die Start-IP ist ungültig.</translation>
    </message>
    <message>
        <source>Starting IP address has to be lower than last
one.Please specify correct pair.</source>
        <translation>Die Startadresse muss kleiner als die Endadresse sein. Geben Sie ein gültiges Paar an.</translation>
    </message>
    <message>
        <source>This IP is being used by another device.</source>
        <translation>Diese IP wird bereits von einem anderen Gerät verwendet.</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message>
        <source>Ombrelay is looking for connected devices. Do you want to stop and exit?</source>
        <translation>Ombrelay sucht nach angeschlossenen Geräten. Möchten Sie die Suche anhalten und beenden?</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Device name</source>
        <translation>Gerätename</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
</context>
</TS>
