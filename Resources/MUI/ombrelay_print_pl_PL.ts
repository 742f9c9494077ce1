<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>ListsPrintDialog</name>
    <message>
        <source>Print Dialog</source>
        <translation>Drukowanie</translation>
    </message>
    <message>
        <source>Print options</source>
        <translation>Opcje wydruku</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Detailed</source>
        <translation>Szczegółowy</translation>
    </message>
    <message>
        <source>Compact</source>
        <translation>Kompaktowy</translation>
    </message>
    <message>
        <source>Handout</source>
        <translation>Ulotka</translation>
    </message>
    <message>
        <source>Print area</source>
        <translation>Zakres wydruku</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Wszystko</translation>
    </message>
    <message>
        <source>Selection</source>
        <translation>Zaznaczenie</translation>
    </message>
    <message>
        <source>From</source>
        <translation>Od</translation>
    </message>
    <message>
        <source>to:</source>
        <translation>do:</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opcje</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Siatka</translation>
    </message>
    <message>
        <source>Page number</source>
        <translation>Numer strony</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Nagłówki kolumn</translation>
    </message>
    <message>
        <source>File name</source>
        <translation>Nazwa pliku</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Drukarka</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Zmień</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Podgląd</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drukuj</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>No default printer</source>
        <translation>Brak drukarki domyślnej</translation>
    </message>
    <message>
        <source>Please enter a valid page range.</source>
        <translation>Proszę podać prawidłowy zakres.</translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation>Zapisz jako PDF</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>Pliki PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Could not print to %1.</source>
        <translation>Nie można drukować do %1.</translation>
    </message>
    <message>
        <source>Select printer</source>
        <translation>Wybierz drukarkę</translation>
    </message>
    <message>
        <source>Printing page %1 of %2...</source>
        <translation>Drukowanie strony %1 z %2...</translation>
    </message>
    <message>
        <source>An entry of the list does not fit on one page.</source>
        <translation>Pozycja listy nie mieści się na jednej stronie.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>--no provider--</source>
        <translation>--brak dostawcy--</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Bez nazwy</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>tak</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nie</translation>
    </message>
    <message>
        <source>hor</source>
        <translation>poz</translation>
    </message>
    <message>
        <source>ver</source>
        <translation>pion</translation>
    </message>
    <message>
        <source>TV Program name</source>
        <translation>Nazwa programu</translation>
    </message>
    <message>
        <source>Satellite</source>
        <translation>Satelita</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Częstotliwość</translation>
    </message>
    <message>
        <source>CL</source>
        <translation>BR</translation>
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
        <translation>Polaryzacja</translation>
    </message>
    <message>
        <source>Favorite list %1</source>
        <translation>Lista ulubionych %1</translation>
    </message>
</context>
</TS>
