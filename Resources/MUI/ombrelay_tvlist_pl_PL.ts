<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>TransferListsDeviceTask</name>
    <message>
        <source>Downloading lists. Waiting for device access...</source>
        <translation>Pobieranie list. Oczekiwanie na dostęp do urządzenia...</translation>
    </message>
    <message>
        <source>Sending lists. Waiting for device access...</source>
        <translation>Wysyłanie list. Oczekiwanie na dostęp do urządzenia...</translation>
    </message>
    <message>
        <source>Downloading lists. Transfering...</source>
        <translation>Pobieranie list. Trwa przesyłanie...</translation>
    </message>
    <message>
        <source>Sending lists. Transfering...</source>
        <translation>Wysyłanie list. Trwa przesyłanie...</translation>
    </message>
    <message>
        <source>Canceling...</source>
        <translation>Anulowanie...</translation>
    </message>
    <message>
        <source>Downloaded data format is invalid, please try again.</source>
        <translation>Format pobranych danych jest nieprawidłowy, spróbuj ponownie.</translation>
    </message>
    <message>
        <source>Device is busy now. Please try again later.</source>
        <translation>Urządzenie jest teraz zajęte. Spróbuj ponownie później.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Name</source>
        <translation>Nazwa</translation>
    </message>
    <message>
        <source>Provider</source>
        <translation>Dostawca</translation>
    </message>
</context>
<context>
    <name>ListsModuleShared</name>
    <message>
        <source>Could not find directory %1</source>
        <translation>Nie znaleziono katalogu %1</translation>
    </message>
    <message>
        <source>Sending lists to device will cause its restart? Do you want to do it now?</source>
        <translation>Wysłanie list do urządzenia spowoduje jego ponowne uruchomienie. Czy chcesz to zrobić teraz?</translation>
    </message>
    <message>
        <source>Don't show this message again</source>
        <translation>Nie pokazuj więcej tego komunikatu</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>There is no registered device in application that supports '%1' file type.</source>
        <translation>W aplikacji nie zarejestrowano urządzenia obsługującego typ pliku „%1”.</translation>
    </message>
</context>
<context>
    <name>TVListModule</name>
    <message>
        <source>Genres:</source>
        <translation>Gatunki:</translation>
    </message>
    <message>
        <source>Genre</source>
        <translation>Gatunek</translation>
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
        <source>Children lock</source>
        <translation>Blokada dla dzieci</translation>
    </message>
    <message>
        <source>Search...</source>
        <translation>Szukaj...</translation>
    </message>
    <message>
        <source>Service with the same detailed settings already exists on the list.</source>
        <translation>Kanał o takich samych ustawieniach szczegółowych już istnieje na liście.</translation>
    </message>
    <message>
        <source>Ombrelay has no information about satellites available. To download it please make sure that device is connected and doesn't record any content. Do you want to download now?</source>
        <translation>Ombrelay nie ma informacji o dostępnych satelitach. Aby je pobrać, upewnij się, że urządzenie jest podłączone i niczego nie nagrywa. Czy chcesz pobrać je teraz?</translation>
    </message>
    <message>
        <source>Download favourite TV lists from the device</source>
        <translation>Pobierz ulubione listy TV z urządzenia</translation>
    </message>
    <message>
        <source>Receives TV programmes from your device so you can edit them, arrange lists of your favourite programmes and send back this new configuration to the device.</source>
        <translation>Odbiera programy TV z urządzenia, aby można je było edytować, ułożyć listy ulubionych programów i odesłać nową konfigurację do urządzenia.</translation>
    </message>
    <message>
        <source>Create new
favourite lists</source>
        <translation>Utwórz nowe
listy ulubionych</translation>
    </message>
    <message>
        <source>
Creates empty file for adding tv programmes and creating your lists of favourite programmes.</source>
        <translation>
Tworzy pusty plik do dodawania programów TV i tworzenia list ulubionych programów.</translation>
    </message>
    <message>
        <source>Open saved
favourite lists</source>
        <translation>Otwórz zapisane
listy ulubionych</translation>
    </message>
    <message>
        <source>
Opens file with TV programmes and list of your favourite TV programmes.</source>
        <translation>
Otwiera plik z programami TV i listą ulubionych programów TV.</translation>
    </message>
    <message>
        <source>Watch video tutorial</source>
        <translation>Obejrzyj samouczek wideo</translation>
    </message>
    <message>
        <source>Video tutorial shows how to quickly add new TV programme and arrange it on the list of your favourite programmes.</source>
        <translation>Samouczek wideo pokazuje, jak szybko dodać nowy program TV i umieścić go na liście ulubionych programów.</translation>
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
        <source>All TV services </source>
        <translation>Wszystkie kanały TV </translation>
    </message>
    <message>
        <source>Create new</source>
        <translation>Utwórz nowy</translation>
    </message>
    <message>
        <source>Create new service</source>
        <translation>Utwórz nowy kanał</translation>
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
        <translation>Pokaż ustawienia kanału</translation>
    </message>
    <message>
        <source>Basic service properties</source>
        <translation>Podstawowe właściwości kanału</translation>
    </message>
    <message>
        <source>Parental control</source>
        <translation>Kontrola rodzicielska</translation>
    </message>
    <message>
        <source>Detailed settings</source>
        <translation>Ustawienia szczegółowe</translation>
    </message>
    <message>
        <source>EPG download enabled</source>
        <translation>Pobieranie EPG włączone</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nazwa</translation>
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
        <source>Global parental lock</source>
        <translation>Globalna blokada rodzicielska</translation>
    </message>
    <message>
        <source>Children locks</source>
        <translation>Blokady dla dzieci</translation>
    </message>
    <message>
        <source>Add service</source>
        <translation>Dodaj kanał</translation>
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
        <source>Saves current configuration of TV programmes and lists of your favourite programmes so you can use it later.</source>
        <translation>Zapisuje bieżącą konfigurację programów TV i list ulubionych programów, aby można było jej użyć później.</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Zapisz jako...</translation>
    </message>
    <message>
        <source>Saves current configuration of TV programmes and lists of your favourite programmes using diffrent file name.</source>
        <translation>Zapisuje bieżącą konfigurację programów TV i list ulubionych programów pod inną nazwą pliku.</translation>
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
        <source>Exports current configuration of TV programmes and lists of your favourite programmes to your USB pendrive connected to this PC. After export connect your pendrive to device to update it.</source>
        <translation>Eksportuje bieżącą konfigurację programów TV i list ulubionych programów na pendrive USB podłączony do tego komputera. Po eksporcie podłącz pendrive do urządzenia, aby je zaktualizować.</translation>
    </message>
    <message>
        <source>New TV service %1</source>
        <translation>Nowy kanał TV %1</translation>
    </message>
</context>
</TS>
