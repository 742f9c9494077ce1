<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>TransferListsDeviceTask</name>
    <message>
        <source>Downloading lists. Waiting for device access...</source>
        <translation>Listen werden heruntergeladen. Warten auf Zugriff auf das Gerät...</translation>
    </message>
    <message>
        <source>Sending lists. Waiting for device access...</source>
        <translation>Listen werden gesendet. Warten auf Zugriff auf das Gerät...</translation>
    </message>
    <message>
        <source>Downloading lists. Transfering...</source>
        <translation>Listen werden heruntergeladen. Übertragung läuft...</translation>
    </message>
    <message>
        <source>Sending lists. Transfering...</source>
        <translation>Listen werden gesendet. Übertragung läuft...</translation>
    </message>
    <message>
        <source>Canceling...</source>
        <translation>Wird abgebrochen...</translation>
    </message>
    <message>
        <source>Downloaded data format is invalid, please try again.</source>
        <translation>Das Format der heruntergeladenen Daten ist ungültig, bitte versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Device is busy now. Please try again later.</source>
        <translation>Das Gerät ist gerade beschäftigt. Bitte versuchen Sie es später erneut.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Provider</source>
        <translation>Anbieter</translation>
    </message>
</context>
<context>
    <name>ListsModuleShared</name>
    <message>
        <source>Could not find directory %1</source>
        <translation>Das Verzeichnis %1 wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Sending lists to device will cause its restart? Do you want to do it now?</source>
        <translation>Das Senden der Listen an das Gerät führt zu dessen Neustart. Möchten Sie es jetzt tun?</translation>
    </message>
    <message>
        <source>Don't show this message again</source>
        <translation>Diese Meldung nicht mehr anzeigen</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>There is no registered device in application that supports '%1' file type.</source>
        <translation>In der Anwendung ist kein Gerät registriert, das den Dateityp „%1“ unterstützt.</translation>
    </message>
</context>
<context>
    <name>TVListModule</name>
    <message>
        <source>Genres:</source>
        <translation>Genres:</translation>
    </message>
    <message>
        <source>Genre</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>Provider</source>
        <translation>Anbieter</translation>
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
        <source>Search...</source>
        <translation>Suchen...</translation>
    </message>
    <message>
        <source>Service with the same detailed settings already exists on the list.</source>
        <translation>Ein Sender mit denselben detaillierten Einstellungen ist bereits in der Liste vorhanden.</translation>
    </message>
    <message>
        <source>Ombrelay has no information about satellites available. To download it please make sure that device is connected and doesn't record any content. Do you want to download now?</source>
        <translation>Ombrelay liegen keine Informationen über die verfügbaren Satelliten vor. Um sie herunterzuladen, stellen Sie bitte sicher, dass das Gerät verbunden ist und nichts aufnimmt. Möchten Sie sie jetzt herunterladen?</translation>
    </message>
    <message>
        <source>Download favourite TV lists from the device</source>
        <translation>Favorisierte TV-Listen vom Gerät herunterladen</translation>
    </message>
    <message>
        <source>Receives TV programmes from your device so you can edit them, arrange lists of your favourite programmes and send back this new configuration to the device.</source>
        <translation>Empfängt die TV-Programme von Ihrem Gerät, damit Sie sie bearbeiten, Listen Ihrer Lieblingsprogramme zusammenstellen und diese neue Konfiguration an das Gerät zurücksenden können.</translation>
    </message>
    <message>
        <source>Create new
favourite lists</source>
        <translation>Neue
Favoritenlisten erstellen</translation>
    </message>
    <message>
        <source>
Creates empty file for adding tv programmes and creating your lists of favourite programmes.</source>
        <translation>
Erstellt eine leere Datei, um TV-Programme hinzuzufügen und Listen Ihrer Lieblingsprogramme anzulegen.</translation>
    </message>
    <message>
        <source>Open saved
favourite lists</source>
        <translation>Gespeicherte
Favoritenlisten öffnen</translation>
    </message>
    <message>
        <source>
Opens file with TV programmes and list of your favourite TV programmes.</source>
        <translation>
Öffnet eine Datei mit TV-Programmen und der Liste Ihrer Lieblingsprogramme.</translation>
    </message>
    <message>
        <source>Watch video tutorial</source>
        <translation>Video-Anleitung ansehen</translation>
    </message>
    <message>
        <source>Video tutorial shows how to quickly add new TV programme and arrange it on the list of your favourite programmes.</source>
        <translation>Die Video-Anleitung zeigt, wie Sie schnell ein neues TV-Programm hinzufügen und in die Liste Ihrer Lieblingsprogramme einordnen.</translation>
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
        <source>All TV services </source>
        <translation>Alle TV-Sender </translation>
    </message>
    <message>
        <source>Create new</source>
        <translation>Neu erstellen</translation>
    </message>
    <message>
        <source>Create new service</source>
        <translation>Neuen Sender erstellen</translation>
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
        <source>Basic service properties</source>
        <translation>Grundlegende Sendereigenschaften</translation>
    </message>
    <message>
        <source>Parental control</source>
        <translation>Jugendschutz</translation>
    </message>
    <message>
        <source>Detailed settings</source>
        <translation>Detaillierte Einstellungen</translation>
    </message>
    <message>
        <source>EPG download enabled</source>
        <translation>EPG-Download aktiviert</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
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
        <source>Global parental lock</source>
        <translation>Globale Elternsperre</translation>
    </message>
    <message>
        <source>Children locks</source>
        <translation>Kindersperren</translation>
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
        <source>Saves current configuration of TV programmes and lists of your favourite programmes so you can use it later.</source>
        <translation>Speichert die aktuelle Konfiguration der TV-Programme und der Listen Ihrer Lieblingsprogramme zur späteren Verwendung.</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Saves current configuration of TV programmes and lists of your favourite programmes using diffrent file name.</source>
        <translation>Speichert die aktuelle Konfiguration der TV-Programme und der Listen Ihrer Lieblingsprogramme unter einem anderen Dateinamen.</translation>
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
        <source>Exports current configuration of TV programmes and lists of your favourite programmes to your USB pendrive connected to this PC. After export connect your pendrive to device to update it.</source>
        <translation>Exportiert die aktuelle Konfiguration der TV-Programme und der Listen Ihrer Lieblingsprogramme auf den an diesen PC angeschlossenen USB-Stick. Schließen Sie den USB-Stick nach dem Export an das Gerät an, um es zu aktualisieren.</translation>
    </message>
    <message>
        <source>New TV service %1</source>
        <translation>Neuer TV-Sender %1</translation>
    </message>
</context>
</TS>
