<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>SelectDriveDialog</name>
    <message>
        <source>Select drive...</source>
        <translation>Laufwerk auswählen...</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>ListsImportWizard</name>
    <message>
        <source>Lists Import Wizard</source>
        <translation>Assistent für den Listenimport</translation>
    </message>
    <message>
        <source>Selected drive contains file which can be imported. Would you like to import this file or prepare drive for import from device?</source>
        <translation>Das gewählte Laufwerk enthält eine Datei, die importiert werden kann. Möchten Sie diese Datei importieren oder das Laufwerk für den Import vom Gerät vorbereiten?</translation>
    </message>
    <message>
        <source>Choosing 'Prepare drive' will delete current Ombrelay files from drive.</source>
        <translation>„Laufwerk vorbereiten“ löscht die vorhandenen Ombrelay-Dateien vom Laufwerk.</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>Prepare drive</source>
        <translation>Laufwerk vorbereiten</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Drive is now prepared for import lists from device. Please unplug drive and plug it into the device!</source>
        <translation>Das Laufwerk ist jetzt für den Listenimport vom Gerät vorbereitet. Bitte ziehen Sie das Laufwerk ab und stecken Sie es in das Gerät!</translation>
    </message>
    <message>
        <source>Waiting for drive containg exported device's lists...</source>
        <translation>Warte auf ein Laufwerk mit den exportierten Listen des Geräts...</translation>
    </message>
    <message>
        <source>Inserted drive does not contain valid Ombrelay files</source>
        <translation>Das eingesteckte Laufwerk enthält keine gültigen Ombrelay-Dateien</translation>
    </message>
    <message>
        <source>Ombrelay could not prepare drive for import from device. Please try again later.</source>
        <translation>Ombrelay konnte das Laufwerk nicht für den Import vom Gerät vorbereiten. Bitte versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <source>Writing to the drive. Please do not unplug it yet...</source>
        <translation>Das Laufwerk wird beschrieben. Bitte ziehen Sie es noch nicht ab...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Drive is now prepared for export lists to device. Please unplug drive and plug it into the device!</source>
        <translation>Das Laufwerk ist jetzt für den Listenexport zum Gerät vorbereitet. Bitte ziehen Sie das Laufwerk ab und stecken Sie es in das Gerät!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>DriveFlush</name>
    <message>
        <source>The drive did not confirm the data.</source>
        <translation>Das Laufwerk hat die Daten nicht bestätigt.</translation>
    </message>
</context>
</TS>
