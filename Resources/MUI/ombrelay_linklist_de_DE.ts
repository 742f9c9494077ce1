<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>LinkListModule</name>
    <message>
        <source>Download favourite internet links lists from the device</source>
        <translation>Favorisierte Internet-Link-Listen vom Gerät herunterladen</translation>
    </message>
    <message>
        <source>Receives internet links from your device so you can edit them, arrange lists of your favourite programmes and send back this new configuration to the device.</source>
        <translation>Empfängt die Internet-Links von Ihrem Gerät, damit Sie sie bearbeiten, Listen Ihrer Lieblingsprogramme zusammenstellen und diese neue Konfiguration an das Gerät zurücksenden können.</translation>
    </message>
    <message>
        <source>Create new
favourite lists</source>
        <translation>Neue
Favoritenlisten erstellen</translation>
    </message>
    <message>
        <source>
Creates empty file for adding internet links programmes and creating your lists of favourite programmes.</source>
        <translation>
Erstellt eine leere Datei, um Internet-Links hinzuzufügen und Listen Ihrer Lieblingsprogramme zu erstellen.</translation>
    </message>
    <message>
        <source>Open saved
favourite lists</source>
        <translation>Gespeicherte
Favoritenlisten öffnen</translation>
    </message>
    <message>
        <source>
Opens file with internet links.</source>
        <translation>
Öffnet eine Datei mit Internet-Links.</translation>
    </message>
    <message>
        <source>Watch video tutorial</source>
        <translation>Video-Anleitung ansehen</translation>
    </message>
    <message>
        <source>Video tutorial shows how to quickly add new internet links and arrange it on the list of your favourite programmes.</source>
        <translation>Die Video-Anleitung zeigt, wie Sie schnell neue Internet-Links hinzufügen und in die Liste Ihrer Lieblingsprogramme einordnen.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Download device lists</source>
        <translation>Gerätelisten herunterladen</translation>
    </message>
    <message>
        <source>Send lists to device</source>
        <translation>Listen an das Gerät senden</translation>
    </message>
    <message>
        <source>More...</source>
        <translation>Mehr...</translation>
    </message>
    <message>
        <source>All internet links</source>
        <translation>Alle Internet-Links</translation>
    </message>
    <message>
        <source>Search...</source>
        <translation>Suchen...</translation>
    </message>
    <message>
        <source>Create new</source>
        <translation>Neu erstellen</translation>
    </message>
    <message>
        <source>Create new service</source>
        <translation>Neuen Eintrag erstellen</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Columns</source>
        <translation>Spalten</translation>
    </message>
    <message>
        <source>Show service settings</source>
        <translation>Einstellungen anzeigen</translation>
    </message>
    <message>
        <source>Basic service properties</source>
        <translation>Grundlegende Eigenschaften</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Provider</source>
        <translation>Anbieter</translation>
    </message>
    <message>
        <source>RZP/EPG download enabled</source>
        <translation>RZP/EPG-Download aktiviert</translation>
    </message>
    <message>
        <source>Genres</source>
        <translation>Genres</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Url</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Genre</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>Undefined</source>
        <translation>Nicht festgelegt</translation>
    </message>
    <message>
        <source>Parental control</source>
        <translation>Jugendschutz</translation>
    </message>
    <message>
        <source>Global parental lock</source>
        <translation>Globale Elternsperre</translation>
    </message>
    <message>
        <source>Children locks</source>
        <translation>Kindersperren</translation>
    </message>
    <message>
        <source>Detailed settings</source>
        <translation>Detaillierte Einstellungen</translation>
    </message>
    <message>
        <source>Add service</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Transfering data....</source>
        <translation>Daten werden übertragen....</translation>
    </message>
    <message>
        <source>Open saved favourite lists</source>
        <translation>Gespeicherte Favoritenlisten öffnen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Saves current configuration of internet links and lists of your favourite programmes so you can use it later.</source>
        <translation>Speichert die aktuelle Konfiguration der Internet-Links und der Listen Ihrer Lieblingsprogramme, damit Sie sie später verwenden können.</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Saves current configuration of internet links and lists of your favourite internet links using diffrent file name.</source>
        <translation>Speichert die aktuelle Konfiguration der Internet-Links und der Listen Ihrer Lieblings-Links unter einem anderen Dateinamen.</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Prints your favourite lists.</source>
        <translation>Druckt Ihre Favoritenlisten.</translation>
    </message>
    <message>
        <source>Export for USB pendrive update</source>
        <translation>Für die Aktualisierung per USB-Stick exportieren</translation>
    </message>
    <message>
        <source>Exports current configuration of internet links and lists of your favourite programmes to your USB pendrive connected to this PC. After export connect your pendrive to device to update it.</source>
        <translation>Exportiert die aktuelle Konfiguration der Internet-Links und der Listen Ihrer Lieblingsprogramme auf den an diesen PC angeschlossenen USB-Stick. Schließen Sie den Stick nach dem Export an das Gerät an, um es zu aktualisieren.</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>Parent lock</source>
        <translation>Elternsperre</translation>
    </message>
    <message>
        <source>Children lock</source>
        <translation>Kindersperre</translation>
    </message>
    <message>
        <source>Service with the same detailed settings already exists on the list.</source>
        <translation>Ein Link mit derselben URL ist bereits in der Liste vorhanden.</translation>
    </message>
    <message>
        <source>Links without title or url are not allowed. Would you like to set these properties now?</source>
        <translation>Links ohne Titel oder URL sind nicht erlaubt. Möchten Sie diese Eigenschaften jetzt festlegen?</translation>
    </message>
    <message>
        <source>No, delete it</source>
        <translation>Nein, löschen</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
</context>
</TS>
