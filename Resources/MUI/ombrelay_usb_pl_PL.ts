<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>SelectDriveDialog</name>
    <message>
        <source>Select drive...</source>
        <translation>Wybierz napęd...</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Odśwież</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
</context>
<context>
    <name>ListsImportWizard</name>
    <message>
        <source>Lists Import Wizard</source>
        <translation>Kreator importu list</translation>
    </message>
    <message>
        <source>Selected drive contains file which can be imported. Would you like to import this file or prepare drive for import from device?</source>
        <translation>Wybrany napęd zawiera plik, który można zaimportować. Czy chcesz zaimportować ten plik, czy przygotować napęd do importu z urządzenia?</translation>
    </message>
    <message>
        <source>Choosing 'Prepare drive' will delete current Ombrelay files from drive.</source>
        <translation>Wybranie „Przygotuj napęd” usunie z napędu bieżące pliki Ombrelay.</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importuj</translation>
    </message>
    <message>
        <source>Prepare drive</source>
        <translation>Przygotuj napęd</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Drive is now prepared for import lists from device. Please unplug drive and plug it into the device!</source>
        <translation>Napęd jest przygotowany do importu list z urządzenia. Odłącz napęd i podłącz go do urządzenia!</translation>
    </message>
    <message>
        <source>Waiting for drive containg exported device's lists...</source>
        <translation>Oczekiwanie na napęd z listami wyeksportowanymi z urządzenia...</translation>
    </message>
    <message>
        <source>Inserted drive does not contain valid Ombrelay files</source>
        <translation>Podłączony napęd nie zawiera prawidłowych plików Ombrelay</translation>
    </message>
    <message>
        <source>Ombrelay could not prepare drive for import from device. Please try again later.</source>
        <translation>Ombrelay nie mógł przygotować napędu do importu z urządzenia. Spróbuj ponownie później.</translation>
    </message>
    <message>
        <source>Writing to the drive. Please do not unplug it yet...</source>
        <translation>Trwa zapis na napęd. Nie odłączaj go jeszcze...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <source>Drive is now prepared for export lists to device. Please unplug drive and plug it into the device!</source>
        <translation>Napęd jest przygotowany do eksportu list do urządzenia. Odłącz napęd i podłącz go do urządzenia!</translation>
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
        <translation>Napęd nie potwierdził zapisu danych.</translation>
    </message>
</context>
</TS>
