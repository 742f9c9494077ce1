<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DetailedSettingsProperty</name>
    <message>
        <source>Analog</source>
        <translation>Analog</translation>
    </message>
    <message>
        <source>Cable</source>
        <translation>Kabel</translation>
    </message>
    <message>
        <source>Satellite</source>
        <translation>Satellit</translation>
    </message>
    <message>
        <source>Terrestrial</source>
        <translation>Terrestrisch</translation>
    </message>
    <message>
        <source>External source</source>
        <translation>Externe Quelle</translation>
    </message>
    <message>
        <source>Unknown type</source>
        <translation>Unbekannter Typ</translation>
    </message>
</context>
<context>
    <name>LinkListProjectFileManager</name>
    <message>
        <source>Ombrelay Internet Link Lists Project</source>
        <translation>Ombrelay-Projekt für Internet-Linklisten</translation>
    </message>
    <message>
        <source>Ombrelay Internet Link Lists Export File</source>
        <translation>Ombrelay-Exportdatei für Internet-Linklisten</translation>
    </message>
    <message>
        <source>Parent lock</source>
        <translation>Elternsperre</translation>
    </message>
</context>
<context>
    <name>ParentalControlItemProperty</name>
    <message>
        <source>Child</source>
        <translation>Kind</translation>
    </message>
</context>
<context>
    <name>ProjectFileManager</name>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;as...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>Exportieren...</translation>
    </message>
    <message>
        <source>%1 (*.%2)</source>
        <translation>%1 (*.%2)</translation>
    </message>
    <message>
        <source>Project &apos;%1&apos; has been modified.
Do you want to save your changes?</source>
        <translation>Das Projekt &apos;%1&apos; wurde geändert.
Möchten Sie die Änderungen speichern?</translation>
    </message>
    <message>
        <source>Error. File not found.</source>
        <translation>Fehler. Datei nicht gefunden.</translation>
    </message>
    <message>
        <source>Error. Cannot read file.</source>
        <translation>Fehler. Die Datei kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Error. File is empty or contains invalid data.</source>
        <translation>Fehler. Die Datei ist leer oder enthält ungültige Daten.</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Speichern unter...</translation>
    </message>
    <message>
        <source>Write error. Cannot write file %1:
%2</source>
        <translation>Schreibfehler. Die Datei %1 kann nicht geschrieben werden:
%2</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Unspecified</source>
        <translation>Nicht angegeben</translation>
    </message>
    <message>
        <source># on list</source>
        <translation># in Liste</translation>
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
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Genres</source>
        <translation>Genres</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Children lock</source>
        <translation>Kindersperre</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>Index</translation>
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
        <source>EPG</source>
        <translation>EPG</translation>
    </message>
    <message>
        <source>Parent lock</source>
        <translation>Elternsperre</translation>
    </message>
    <message>
        <source>Service type</source>
        <translation>Dienstart</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
</context>
<context>
    <name>RadioListProjectFileManager</name>
    <message>
        <source>Ombrelay Radio Lists Project</source>
        <translation>Ombrelay-Projekt für Radiolisten</translation>
    </message>
    <message>
        <source>Ombrelay Radio Lists Export File</source>
        <translation>Ombrelay-Exportdatei für Radiolisten</translation>
    </message>
</context>
<context>
    <name>TVListProjectFileManager</name>
    <message>
        <source>Ombrelay TV Lists Project</source>
        <translation>Ombrelay-Projekt für TV-Listen</translation>
    </message>
    <message>
        <source>Ombrelay TV Lists Export File</source>
        <translation>Ombrelay-Exportdatei für TV-Listen</translation>
    </message>
</context>
</TS>
