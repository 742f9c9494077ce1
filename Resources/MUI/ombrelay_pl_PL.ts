<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>MainWindow</name>
    <message>
        <source>Device's given name</source>
        <translation>Nazwa nadana urządzeniu</translation>
    </message>
    <message>
        <source>Device's native name</source>
        <translation>Oryginalna nazwa urządzenia</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Połącz</translation>
    </message>
    <message>
        <source>Media Explorer</source>
        <translation>Eksplorator multimediów</translation>
    </message>
    <message>
        <source>Add new device</source>
        <translation>Dodaj nowe urządzenie</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Wstecz</translation>
    </message>
    <message>
        <source>About</source>
        <translation>O programie</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Wersja:</translation>
    </message>
    <message>
        <source>Copyright © 2009-2026 Zembrak. All rights reserved.</source>
        <translation>Copyright © 2009-2026 Zembrak. Wszelkie prawa zastrzeżone.</translation>
    </message>
    <message>
        <source>Use this program at your own risk. The program is protected by copyright; copying it, in whole or in part, without the written permission of Zembrak is prohibited. For video conversion the program uses the tools FFmpeg and dvdauthor of the DVDAuthorGUI package, which are free software under the GNU General Public License, version 2.</source>
        <translation>Korzystasz z tego programu na własne ryzyko. Program jest chroniony prawem autorskim; kopiowanie go w całości lub w części bez pisemnej zgody firmy Zembrak jest zabronione. Do konwersji wideo program używa narzędzi FFmpeg i dvdauthor z pakietu DVDAuthorGUI, które są wolnym oprogramowaniem na licencji GNU General Public License w wersji 2.</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Rozłącz</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Usuń</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Właściwości</translation>
    </message>
    <message>
        <source>Remove All</source>
        <translation>Usuń wszystkie</translation>
    </message>
    <message>
        <source>There are no registered devices in application. Please add at least one device to open a file.</source>
        <translation>W programie nie ma zarejestrowanych urządzeń. Aby otworzyć plik, dodaj co najmniej jedno urządzenie.</translation>
    </message>
    <message>
        <source>Are you sure you want to remove this device from your device list?</source>
        <translation>Czy na pewno chcesz usunąć to urządzenie z listy urządzeń?</translation>
    </message>
    <message>
        <source>Are you sure you want to remove all devices from your device list?</source>
        <translation>Czy na pewno chcesz usunąć wszystkie urządzenia z listy urządzeń?</translation>
    </message>
    <message>
        <source>%1 share name has changed to '%2'. Would you like to update it now?</source>
        <translation>Nazwa udziału urządzenia %1 zmieniła się na „%2”. Czy chcesz ją teraz zaktualizować?</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Tak</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>The device's software is not compatible with Ombrelay!</source>
        <translation>Oprogramowanie urządzenia nie jest zgodne z programem Ombrelay!</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Ombrelay Error</source>
        <translation>Błąd Ombrelay</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Tak</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nie</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Anuluj</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <translation>Tak dla &amp;wszystkich</translation>
    </message>
</context>
<context>
    <name>OmbrelayModule</name>
    <message>
        <source>TV Lists</source>
        <translation>Listy TV</translation>
    </message>
    <message>
        <source>Radio Lists</source>
        <translation>Listy radiowe</translation>
    </message>
    <message>
        <source>Link Lists</source>
        <translation>Listy linków</translation>
    </message>
    <message>
        <source>Media Explorer</source>
        <translation>Eksplorator multimediów</translation>
    </message>
    <message>
        <source>Device Basic Screen</source>
        <translation>Ekran główny urządzenia</translation>
    </message>
    <message>
        <source>Welcome Screen</source>
        <translation>Ekran powitalny</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source> (connecting)</source>
        <translation> (łączenie)</translation>
    </message>
</context>
<context>
    <name>ZBDeviceItemModel</name>
    <message>
        <source>No devices found</source>
        <translation>Brak urządzeń</translation>
    </message>
</context>
</TS>