<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ProjectFileManager</name>
    <message>
        <source>The last export is still being written to the drive. Wait until it is finished, then export again.</source>
        <translation>Der letzte Export wird noch auf das Laufwerk geschrieben. Warten Sie, bis er abgeschlossen ist, und exportieren Sie dann erneut.</translation>
    </message>
</context>
<context>
    <name>ListProjectFileManager</name>
    <message>
        <source>TV lists</source>
        <translation>TV-Listen</translation>
    </message>
    <message>
        <source>radio lists</source>
        <translation>Radiolisten</translation>
    </message>
    <message>
        <source>internet link lists</source>
        <translation>Internet-Linklisten</translation>
    </message>
    <message>
        <source>Error. This file holds %1, not %2.</source>
        <translation>Fehler. Diese Datei enthält %1, keine %2.</translation>
    </message>
    <message>
        <source>The drive %1 is no longer there. Nothing was exported: plug the drive in and export again.</source>
        <translation>Das Laufwerk %1 ist nicht mehr vorhanden. Es wurde nichts exportiert: Schließen Sie das Laufwerk an und exportieren Sie erneut.</translation>
    </message>
</context>
<context>
    <name>ListsImportWizard</name>
    <message>
        <source>Choosing 'Prepare drive' will delete %1 from drive.</source>
        <translation>„Laufwerk vorbereiten“ löscht %1 vom Laufwerk.</translation>
    </message>
    <message>
        <source>The drive %1 is no longer there. Nothing was written: plug the drive in and try again.</source>
        <translation>Das Laufwerk %1 ist nicht mehr vorhanden. Es wurde nichts geschrieben: Schließen Sie das Laufwerk an und versuchen Sie es erneut.</translation>
    </message>
</context>
</TS>
