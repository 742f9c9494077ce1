<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ListsPrintDialog</name>
    <message>
        <source>Print Dialog</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Print options</source>
        <translation>Druckoptionen</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Detailed</source>
        <translation>Ausführlich</translation>
    </message>
    <message>
        <source>Compact</source>
        <translation>Kompakt</translation>
    </message>
    <message>
        <source>Handout</source>
        <translation>Handzettel</translation>
    </message>
    <message>
        <source>Print area</source>
        <translation>Druckbereich</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Selection</source>
        <translation>Auswahl</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Von</translation>
    </message>
    <message>
        <source>to:</source>
        <translation>bis:</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Gitterlinien</translation>
    </message>
    <message>
        <source>Page number</source>
        <translation>Seitenzahl</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Spaltentitel</translation>
    </message>
    <message>
        <source>File name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Drucker</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Ändern</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>No default printer</source>
        <translation>Kein Standarddrucker</translation>
    </message>
    <message>
        <source>Please enter a valid page range.</source>
        <translation>Bitte geben Sie einen gültigen Bereich ein.</translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation>Als PDF speichern</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>Could not print to %1.</source>
        <translation>Drucken nach %1 nicht möglich.</translation>
    </message>
    <message>
        <source>Select printer</source>
        <translation>Drucker auswählen</translation>
    </message>
    <message>
        <source>Printing page %1 of %2...</source>
        <translation>Seite %1 von %2 wird gedruckt...</translation>
    </message>
    <message>
        <source>An entry of the list does not fit on one page.</source>
        <translation>Ein Eintrag der Liste passt nicht auf eine Seite.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>--no provider--</source>
        <translation>--kein Anbieter--</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>hor</source>
        <translation>hor</translation>
    </message>
    <message>
        <source>ver</source>
        <translation>vert</translation>
    </message>
    <message>
        <source>TV Program name</source>
        <translation>Programmname</translation>
    </message>
    <message>
        <source>Satellite</source>
        <translation>Satellit</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Frequenz</translation>
    </message>
    <message>
        <source>CL</source>
        <translation>KS</translation>
    </message>
    <message>
        <source>Pol</source>
        <translation>Pol</translation>
    </message>
    <message>
        <source>SR</source>
        <translation>SR</translation>
    </message>
    <message>
        <source>SID</source>
        <translation>SID</translation>
    </message>
    <message>
        <source>Polarization</source>
        <translation>Polarisation</translation>
    </message>
    <message>
        <source>Favorite list %1</source>
        <translation>Favoritenliste %1</translation>
    </message>
</context>
</TS>
