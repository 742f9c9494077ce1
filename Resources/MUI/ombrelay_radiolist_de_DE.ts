<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>RadioListModule</name>
    <message>
        <source>Download favourite radio lists from the device</source>
        <translation>Favorisierte Radiolisten vom Gerät herunterladen</translation>
    </message>
    <message>
        <source>Receives radio programmes from your device so you can edit them, arrange lists of your favourite programmes and send back this new configuration to the device.</source>
        <translation>Empfängt die Radioprogramme von Ihrem Gerät, damit Sie sie bearbeiten, Listen Ihrer Lieblingsprogramme zusammenstellen und diese neue Konfiguration an das Gerät zurücksenden können.</translation>
    </message>
    <message>
        <source>Create new
favourite lists</source>
        <translation>Neue
Favoritenlisten erstellen</translation>
    </message>
    <message>
        <source>
Creates empty file for adding radio programmes and creating your lists of favourite programmes.</source>
        <translation>
Erstellt eine leere Datei, um Radioprogramme hinzuzufügen und Listen Ihrer Lieblingsprogramme anzulegen.</translation>
    </message>
    <message>
        <source>Open saved
favourite lists</source>
        <translation>Gespeicherte
Favoritenlisten öffnen</translation>
    </message>
    <message>
        <source>
Opens file with radio programmes and list of your favourite radio programmes.</source>
        <translation>
Öffnet eine Datei mit Radioprogrammen und der Liste Ihrer Lieblingsradioprogramme.</translation>
    </message>
    <message>
        <source>Watch video tutorial</source>
        <translation>Video-Anleitung ansehen</translation>
    </message>
    <message>
        <source>Video tutorial shows how to quickly add new radio programme and arrange it on the list of your favourite programmes.</source>
        <translation>Die Video-Anleitung zeigt, wie Sie schnell ein neues Radioprogramm hinzufügen und in die Liste Ihrer Lieblingsprogramme einordnen.</translation>
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
        <source>All radio services </source>
        <translation>Alle Radiosender </translation>
    </message>
    <message>
        <source>Search...</source>
        <translation>Suchen...</translation>
    </message>
    <message>
        <source>Create new service</source>
        <translation>Neuen Sender erstellen</translation>
    </message>
    <message>
        <source>Create new</source>
        <translation>Neu erstellen</translation>
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
        <translation>Sendereinstellungen anzeigen</translation>
    </message>
    <message>
        <source>Provider</source>
        <translation>Anbieter</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>RZP/EPG download enabled</source>
        <translation>RZP/EPG-Download aktiviert</translation>
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
        <source>Basic service properties</source>
        <translation>Grundlegende Sendereigenschaften</translation>
    </message>
    <message>
        <source>Global parental lock</source>
        <translation>Globale Elternsperre</translation>
    </message>
    <message>
        <source>Parental control</source>
        <translation>Jugendschutz</translation>
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
        <translation>Sender hinzufügen</translation>
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
        <source>Saves current configuration of radio programmes and lists of your favourite programmes so you can use it later.</source>
        <translation>Speichert die aktuelle Konfiguration der Radioprogramme und der Listen Ihrer Lieblingsprogramme zur späteren Verwendung.</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Saves current configuration of radio programmes and lists of your favourite programmes using diffrent file name.</source>
        <translation>Speichert die aktuelle Konfiguration der Radioprogramme und der Listen Ihrer Lieblingsprogramme unter einem anderen Dateinamen.</translation>
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
        <source>Exports current configuration of radio programmes and lists of your favourite programmes to your USB pendrive connected to this PC. After export connect your pendrive to device to update it.</source>
        <translation>Exportiert die aktuelle Konfiguration der Radioprogramme und der Listen Ihrer Lieblingsprogramme auf den an diesen PC angeschlossenen USB-Stick. Schließen Sie den USB-Stick nach dem Export an das Gerät an, um es zu aktualisieren.</translation>
    </message>
    <message>
        <source>Genres:</source>
        <translation>Genres:</translation>
    </message>
    <message>
        <source>EPG</source>
        <translation>EPG</translation>
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
        <translation>Ein Radiosender mit denselben detaillierten Einstellungen ist bereits in der Liste vorhanden.</translation>
    </message>
    <message>
        <source>Ombrelay has no information about satellites available. To download it please make sure that device is connected and doesn't record any content. Do you want to download now?</source>
        <translation>Ombrelay liegen keine Informationen über die verfügbaren Satelliten vor. Um sie herunterzuladen, stellen Sie bitte sicher, dass das Gerät verbunden ist und nichts aufnimmt. Möchten Sie sie jetzt herunterladen?</translation>
    </message>
    <message>
        <source>New radio service %1</source>
        <translation>Neuer Radiosender %1</translation>
    </message>
</context>
</TS>
