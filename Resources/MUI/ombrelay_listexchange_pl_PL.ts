<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>ProjectFileManager</name>
    <message>
        <source>The last export is still being written to the drive. Wait until it is finished, then export again.</source>
        <translation>Poprzedni eksport jest nadal zapisywany na napęd. Poczekaj, aż się zakończy, a następnie wyeksportuj ponownie.</translation>
    </message>
</context>
<context>
    <name>ListProjectFileManager</name>
    <message>
        <source>TV lists</source>
        <translation>listy TV</translation>
    </message>
    <message>
        <source>radio lists</source>
        <translation>listy radiowe</translation>
    </message>
    <message>
        <source>internet link lists</source>
        <translation>listy linków internetowych</translation>
    </message>
    <message>
        <source>Error. This file holds %1, not %2.</source>
        <translation>Błąd. Ten plik zawiera %1, a nie %2.</translation>
    </message>
    <message>
        <source>The drive %1 is no longer there. Nothing was exported: plug the drive in and export again.</source>
        <translation>Napęd %1 nie jest już dostępny. Nic nie zostało wyeksportowane: podłącz napęd i wyeksportuj ponownie.</translation>
    </message>
</context>
<context>
    <name>ListsImportWizard</name>
    <message>
        <source>Choosing 'Prepare drive' will delete %1 from drive.</source>
        <translation>Wybranie „Przygotuj napęd” usunie z napędu %1.</translation>
    </message>
    <message>
        <source>The drive %1 is no longer there. Nothing was written: plug the drive in and try again.</source>
        <translation>Napęd %1 nie jest już dostępny. Nic nie zostało zapisane: podłącz napęd i spróbuj ponownie.</translation>
    </message>
</context>
</TS>
