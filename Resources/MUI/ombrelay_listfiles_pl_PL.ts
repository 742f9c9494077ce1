<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>DetailedSettingsProperty</name>
    <message>
        <source>Analog</source>
        <translation>Analogowy</translation>
    </message>
    <message>
        <source>Cable</source>
        <translation>Kablowy</translation>
    </message>
    <message>
        <source>Satellite</source>
        <translation>Satelitarny</translation>
    </message>
    <message>
        <source>Terrestrial</source>
        <translation>Naziemny</translation>
    </message>
    <message>
        <source>External source</source>
        <translation>Źródło zewnętrzne</translation>
    </message>
    <message>
        <source>Unknown type</source>
        <translation>Nieznany typ</translation>
    </message>
</context>
<context>
    <name>LinkListProjectFileManager</name>
    <message>
        <source>Ombrelay Internet Link Lists Project</source>
        <translation>Projekt list łączy internetowych Ombrelay</translation>
    </message>
    <message>
        <source>Ombrelay Internet Link Lists Export File</source>
        <translation>Plik eksportu list łączy internetowych Ombrelay</translation>
    </message>
    <message>
        <source>Parent lock</source>
        <translation>Blokada rodzicielska</translation>
    </message>
</context>
<context>
    <name>ParentalControlItemProperty</name>
    <message>
        <source>Child</source>
        <translation>Dziecko</translation>
    </message>
</context>
<context>
    <name>ProjectFileManager</name>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Nowy</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Otwórz</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Zapisz</translation>
    </message>
    <message>
        <source>Save &amp;as...</source>
        <translation>Zapisz &amp;jako...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>Eksportuj...</translation>
    </message>
    <message>
        <source>%1 (*.%2)</source>
        <translation>%1 (*.%2)</translation>
    </message>
    <message>
        <source>Project &apos;%1&apos; has been modified.
Do you want to save your changes?</source>
        <translation>Projekt &apos;%1&apos; został zmieniony.
Czy chcesz zapisać zmiany?</translation>
    </message>
    <message>
        <source>Error. File not found.</source>
        <translation>Błąd. Nie znaleziono pliku.</translation>
    </message>
    <message>
        <source>Error. Cannot read file.</source>
        <translation>Błąd. Nie można odczytać pliku.</translation>
    </message>
    <message>
        <source>Error. File is empty or contains invalid data.</source>
        <translation>Błąd. Plik jest pusty lub zawiera nieprawidłowe dane.</translation>
    </message>
    <message>
        <source>Save As...</source>
        <translation>Zapisz jako...</translation>
    </message>
    <message>
        <source>Write error. Cannot write file %1:
%2</source>
        <translation>Błąd zapisu. Nie można zapisać pliku %1:
%2</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Unspecified</source>
        <translation>Nieokreślony</translation>
    </message>
    <message>
        <source># on list</source>
        <translation># na liście</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Tytuł</translation>
    </message>
    <message>
        <source>Url</source>
        <translation>Adres URL</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Opis</translation>
    </message>
    <message>
        <source>Genres</source>
        <translation>Gatunki</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Children lock</source>
        <translation>Blokada dla dzieci</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>Indeks</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nazwa</translation>
    </message>
    <message>
        <source>Provider</source>
        <translation>Dostawca</translation>
    </message>
    <message>
        <source>EPG</source>
        <translation>EPG</translation>
    </message>
    <message>
        <source>Parent lock</source>
        <translation>Blokada rodzicielska</translation>
    </message>
    <message>
        <source>Service type</source>
        <translation>Typ usługi</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wartość</translation>
    </message>
</context>
<context>
    <name>RadioListProjectFileManager</name>
    <message>
        <source>Ombrelay Radio Lists Project</source>
        <translation>Projekt list radiowych Ombrelay</translation>
    </message>
    <message>
        <source>Ombrelay Radio Lists Export File</source>
        <translation>Plik eksportu list radiowych Ombrelay</translation>
    </message>
</context>
<context>
    <name>TVListProjectFileManager</name>
    <message>
        <source>Ombrelay TV Lists Project</source>
        <translation>Projekt list TV Ombrelay</translation>
    </message>
    <message>
        <source>Ombrelay TV Lists Export File</source>
        <translation>Plik eksportu list TV Ombrelay</translation>
    </message>
</context>
</TS>
