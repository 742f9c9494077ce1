<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>LinkListModule</name>
    <message>
        <source>Download favourite internet links lists from the device</source>
        <translation>Pobierz ulubione listy linków internetowych z urządzenia</translation>
    </message>
    <message>
        <source>Receives internet links from your device so you can edit them, arrange lists of your favourite programmes and send back this new configuration to the device.</source>
        <translation>Odbiera linki internetowe z urządzenia, aby można je było edytować, ułożyć listy ulubionych programów i odesłać tę nową konfigurację do urządzenia.</translation>
    </message>
    <message>
        <source>Create new
favourite lists</source>
        <translation>Utwórz nowe
listy ulubionych</translation>
    </message>
    <message>
        <source>
Creates empty file for adding internet links programmes and creating your lists of favourite programmes.</source>
        <translation>
Tworzy pusty plik do dodawania linków internetowych i tworzenia list ulubionych programów.</translation>
    </message>
    <message>
        <source>Open saved
favourite lists</source>
        <translation>Otwórz zapisane
listy ulubionych</translation>
    </message>
    <message>
        <source>
Opens file with internet links.</source>
        <translation>
Otwiera plik z linkami internetowymi.</translation>
    </message>
    <message>
        <source>Watch video tutorial</source>
        <translation>Obejrzyj samouczek wideo</translation>
    </message>
    <message>
        <source>Video tutorial shows how to quickly add new internet links and arrange it on the list of your favourite programmes.</source>
        <translation>Samouczek wideo pokazuje, jak szybko dodać nowe linki internetowe i umieścić je na liście ulubionych programów.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Wstecz</translation>
    </message>
    <message>
        <source>Download device lists</source>
        <translation>Pobierz listy z urządzenia</translation>
    </message>
    <message>
        <source>Send lists to device</source>
        <translation>Wyślij listy do urządzenia</translation>
    </message>
    <message>
        <source>More...</source>
        <translation>Więcej...</translation>
    </message>
    <message>
        <source>All internet links</source>
        <translation>Wszystkie linki internetowe</translation>
    </message>
    <message>
        <source>Search...</source>
        <translation>Szukaj...</translation>
    </message>
    <message>
        <source>Create new</source>
        <translation>Utwórz nowy</translation>
    </message>
    <message>
        <source>Create new service</source>
        <translation>Utwórz nowy wpis</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filtr</translation>
    </message>
    <message>
        <source>Columns</source>
        <translation>Kolumny</translation>
    </message>
    <message>
        <source>Show service settings</source>
        <translation>Pokaż ustawienia</translation>
    </message>
    <message>
        <source>Basic service properties</source>
        <translation>Podstawowe właściwości</translation>
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
        <source>RZP/EPG download enabled</source>
        <translation>Pobieranie RZP/EPG włączone</translation>
    </message>
    <message>
        <source>Genres</source>
        <translation>Gatunki</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Tytuł</translation>
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
        <translation>Gatunek</translation>
    </message>
    <message>
        <source>Undefined</source>
        <translation>Nieokreślony</translation>
    </message>
    <message>
        <source>Parental control</source>
        <translation>Kontrola rodzicielska</translation>
    </message>
    <message>
        <source>Global parental lock</source>
        <translation>Globalna blokada rodzicielska</translation>
    </message>
    <message>
        <source>Children locks</source>
        <translation>Blokady dla dzieci</translation>
    </message>
    <message>
        <source>Detailed settings</source>
        <translation>Ustawienia szczegółowe</translation>
    </message>
    <message>
        <source>Add service</source>
        <translation>Dodaj</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Transfering data....</source>
        <translation>Przesyłanie danych....</translation>
    </message>
    <message>
        <source>Open saved favourite lists</source>
        <translation>Otwórz zapisane listy ulubionych</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Zapisz</translation>
    </message>
    <message>
        <source>Saves current configuration of internet links and lists of your favourite programmes so you can use it later.</source>
        <translation>Zapisuje bieżącą konfigurację linków internetowych i list ulubionych programów, aby można było jej użyć później.</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Zapisz jako...</translation>
    </message>
    <message>
        <source>Saves current configuration of internet links and lists of your favourite internet links using diffrent file name.</source>
        <translation>Zapisuje bieżącą konfigurację linków internetowych i list ulubionych linków pod inną nazwą pliku.</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drukuj</translation>
    </message>
    <message>
        <source>Prints your favourite lists.</source>
        <translation>Drukuje listy ulubionych.</translation>
    </message>
    <message>
        <source>Export for USB pendrive update</source>
        <translation>Eksportuj do aktualizacji z pendrive’a USB</translation>
    </message>
    <message>
        <source>Exports current configuration of internet links and lists of your favourite programmes to your USB pendrive connected to this PC. After export connect your pendrive to device to update it.</source>
        <translation>Eksportuje bieżącą konfigurację linków internetowych i list ulubionych programów na pendrive USB podłączony do tego komputera. Po eksporcie podłącz pendrive do urządzenia, aby je zaktualizować.</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Strona internetowa</translation>
    </message>
    <message>
        <source>Parent lock</source>
        <translation>Blokada rodzicielska</translation>
    </message>
    <message>
        <source>Children lock</source>
        <translation>Blokada dla dzieci</translation>
    </message>
    <message>
        <source>Service with the same detailed settings already exists on the list.</source>
        <translation>Link o takim samym adresie URL już istnieje na liście.</translation>
    </message>
    <message>
        <source>Links without title or url are not allowed. Would you like to set these properties now?</source>
        <translation>Linki bez tytułu lub adresu URL są niedozwolone. Czy chcesz teraz ustawić te właściwości?</translation>
    </message>
    <message>
        <source>No, delete it</source>
        <translation>Nie, usuń go</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Tak</translation>
    </message>
</context>
</TS>
