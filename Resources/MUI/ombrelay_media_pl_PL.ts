<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>Cut</source>
        <translation>Wytnij</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopiuj</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Wklej</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Usuń</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Odśwież</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>Konwertuj</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Właściwości</translation>
    </message>
    <message>
        <source>Refresh device</source>
        <translation>Odśwież urządzenie</translation>
    </message>
    <message>
        <source>Explore</source>
        <translation>Przeglądaj</translation>
    </message>
    <message>
        <source>Device is disconnected. Press button to explore files and folders.</source>
        <translation>Urządzenie jest rozłączone. Naciśnij przycisk, aby przeglądać pliki i foldery.</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Wstecz</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Adres:</translation>
    </message>
    <message>
        <source>Go</source>
        <translation>Idź</translation>
    </message>
    <message>
        <source>My Computer</source>
        <translation>Mój komputer</translation>
    </message>
    <message>
        <source>My Videos</source>
        <translation>Moje wideo</translation>
    </message>
    <message>
        <source>My Music</source>
        <translation>Moja muzyka</translation>
    </message>
    <message>
        <source>My Pictures</source>
        <translation>Moje obrazy</translation>
    </message>
    <message>
        <source>Copying...</source>
        <translation>Kopiowanie...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>New folder</source>
        <translation>Nowy folder</translation>
    </message>
    <message>
        <source>Show in explorer</source>
        <translation>Pokaż w menedżerze plików</translation>
    </message>
    <message>
        <source>Hide properties panel</source>
        <translation>Ukryj panel właściwości</translation>
    </message>
    <message>
        <source>Convert to</source>
        <translation>Konwertuj do</translation>
    </message>
    <message>
        <source>Disconnecting from device...</source>
        <translation>Rozłączanie z urządzeniem...</translation>
    </message>
    <message>
        <source>Connecting to device...</source>
        <translation>Łączenie z urządzeniem...</translation>
    </message>
    <message>
        <source>Ombrelay could not detect any storage device connected.</source>
        <translation>Ombrelay nie wykrył żadnego podłączonego nośnika danych.</translation>
    </message>
    <message>
        <source>Ombrelay is processing data. Do you want to stop and exit?</source>
        <translation>Ombrelay przetwarza dane. Czy chcesz przerwać i zakończyć?</translation>
    </message>
    <message>
        <source>Hide Properties Panel</source>
        <translation>Ukryj panel właściwości</translation>
    </message>
    <message>
        <source>Show Properties Panel</source>
        <translation>Pokaż panel właściwości</translation>
    </message>
    <message>
        <source>Preparing to copy...</source>
        <translation>Przygotowywanie kopiowania...</translation>
    </message>
    <message>
        <source>Are you sure you want to delete %1?</source>
        <translation>Czy na pewno chcesz usunąć %1?</translation>
    </message>
    <message>
        <source>Are you sure you want to delete these %1 items?</source>
        <translation>Czy na pewno chcesz usunąć te elementy (%1)?</translation>
    </message>
    <message>
        <source>Deleting files...</source>
        <translation>Usuwanie plików...</translation>
    </message>
    <message>
        <source>New folder name:</source>
        <translation>Nazwa nowego folderu:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Ombrelay cannot create a folder named "%1". Please choose another name.</source>
        <translation>Ombrelay nie może utworzyć folderu o nazwie „%1”. Wybierz inną nazwę.</translation>
    </message>
    <message>
        <source>Ombrelay could not create this folder</source>
        <translation>Ombrelay nie mógł utworzyć tego folderu</translation>
    </message>
    <message>
        <source>Ombrelay could not copy these files:
%1</source>
        <translation>Ombrelay nie mógł skopiować tych plików:
%1</translation>
    </message>
    <message>
        <source>Ombrelay could not delete these files:
%1</source>
        <translation>Ombrelay nie mógł usunąć tych plików:
%1</translation>
    </message>
    <message>
        <source>This folder already contains a record named %1. Would you like to replace existing record?</source>
        <translation>Ten folder zawiera już nagranie o nazwie %1. Czy chcesz zastąpić istniejące nagranie?</translation>
    </message>
    <message>
        <source>This folder already contains a file named %1. Would you like to replace existing file?</source>
        <translation>Ten folder zawiera już plik o nazwie %1. Czy chcesz zastąpić istniejący plik?</translation>
    </message>
</context>
<context>
    <name>MediaExplorerFileBrowser</name>
    <message>
        <source>My Computer</source>
        <translation>Mój komputer</translation>
    </message>
    <message>
        <source>Ombrelay cannot open %1. Default application for %2 files is not set.</source>
        <translation>Ombrelay nie może otworzyć %1. Nie ustawiono domyślnej aplikacji dla plików %2.</translation>
    </message>
</context>
<context>
    <name>MediaExplorerTreeView</name>
    <message>
        <source>Ombrelay cannot open %1. Default application for %2 files is not set.</source>
        <translation>Ombrelay nie może otworzyć %1. Nie ustawiono domyślnej aplikacji dla plików %2.</translation>
    </message>
</context>
<context>
    <name>PcFileSystemModel</name>
    <message>
        <source>Name</source>
        <translation>Nazwa</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Rozmiar</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Date Modified</source>
        <translation>Data modyfikacji</translation>
    </message>
    <message>
        <source>File Folder</source>
        <translation>Folder plików</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Dysk</translation>
    </message>
    <message>
        <source>Removable Drive</source>
        <translation>Dysk wymienny</translation>
    </message>
</context>
<context>
    <name>ZBDeviceFileSystemModel</name>
    <message>
        <source>(expanding...)</source>
        <translation>(rozwijanie...)</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nazwa</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Rozmiar</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Date Modified</source>
        <translation>Data modyfikacji</translation>
    </message>
    <message>
        <source>File Folder</source>
        <translation>Folder plików</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Dysk</translation>
    </message>
    <message>
        <source>Removable Drive</source>
        <translation>Dysk wymienny</translation>
    </message>
    <message>
        <source>Audio Record</source>
        <translation>Nagranie audio</translation>
    </message>
    <message>
        <source>MPEG2 HD Video Record</source>
        <translation>Nagranie wideo MPEG2 HD</translation>
    </message>
    <message>
        <source>MPEG4 HD Video Record</source>
        <translation>Nagranie wideo MPEG4 HD</translation>
    </message>
    <message>
        <source>MPEG2 SD Video Record</source>
        <translation>Nagranie wideo MPEG2 SD</translation>
    </message>
    <message>
        <source>MPEG4 SD Video Record</source>
        <translation>Nagranie wideo MPEG4 SD</translation>
    </message>
</context>
</TS>
