<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>DeviceModule</name>
    <message>
        <source>Form</source>
        <translation>Formularz</translation>
    </message>
    <message>
        <source>TV List Editor</source>
        <translation>Edytor listy TV</translation>
    </message>
    <message>
        <source>Allows you to edit favourite lists for your device</source>
        <translation>Pozwala edytować listy ulubionych urządzenia</translation>
    </message>
    <message>
        <source>Radio List Editor</source>
        <translation>Edytor listy radiowej</translation>
    </message>
    <message>
        <source>Link List Editor</source>
        <translation>Edytor listy linków</translation>
    </message>
    <message>
        <source>Media Explorer</source>
        <translation>Eksplorator multimediów</translation>
    </message>
    <message>
        <source>Allows you to download and manage your DVR content</source>
        <translation>Pozwala pobierać nagrania urządzenia i nimi zarządzać</translation>
    </message>
    <message>
        <source>Device Connection Properties</source>
        <translation>Właściwości połączenia urządzenia</translation>
    </message>
    <message>
        <source>Allows you to change device name, ip address and password</source>
        <translation>Pozwala zmienić nazwę urządzenia, adres IP i hasło</translation>
    </message>
</context>
<context>
    <name>DevicePropertiesModule</name>
    <message>
        <source>Password:</source>
        <translation>Hasło:</translation>
    </message>
    <message>
        <source>Remember password</source>
        <translation>Zapamiętaj hasło</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Zapisz</translation>
    </message>
    <message>
        <source>Remove device</source>
        <translation>Usuń urządzenie</translation>
    </message>
    <message>
        <source>Device native name:</source>
        <translation>Nazwa własna urządzenia:</translation>
    </message>
    <message>
        <source>Device share name:</source>
        <translation>Nazwa udziału urządzenia:</translation>
    </message>
    <message>
        <source>Device given name:</source>
        <translation>Nadana nazwa urządzenia:</translation>
    </message>
    <message>
        <source>IP address:</source>
        <translation>Adres IP:</translation>
    </message>
    <message>
        <source>MAC address:</source>
        <translation>Adres MAC:</translation>
    </message>
    <message>
        <source>Hardware version:</source>
        <translation>Wersja sprzętu:</translation>
    </message>
    <message>
        <source>Software version:</source>
        <translation>Wersja oprogramowania:</translation>
    </message>
    <message>
        <source>Protocol version:</source>
        <translation>Wersja protokołu:</translation>
    </message>
    <message>
        <source>000.000.000.000; </source>
        <translation>000.000.000.000; </translation>
    </message>
    <message>
        <source>Device&apos;s properties</source>
        <translation>Właściwości urządzenia</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Wstecz</translation>
    </message>
    <message>
        <source>Please enter a valid IP address before save.</source>
        <translation>Przed zapisaniem wpisz prawidłowy adres IP.</translation>
    </message>
    <message>
        <source>This IP is being used by another device.</source>
        <translation>Ten adres IP jest używany przez inne urządzenie.</translation>
    </message>
</context>
<context>
    <name>DeviceSelectDialog</name>
    <message>
        <source>Dialog</source>
        <translation type="vanished">Okno dialogowe</translation>
    </message>
    <message>
        <source>Please select the device(s) the file shall be applied for!</source>
        <translation>Wybierz urządzenia, dla których przeznaczony jest plik!</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Opening file...</source>
        <translation>Otwieranie pliku...</translation>
    </message>
</context>
<context>
    <name>NewDeviceModule</name>
    <message>
        <source>Search for connected devices</source>
        <translation>Szukaj podłączonych urządzeń</translation>
    </message>
    <message>
        <source>Automatically connect to all discovered devices</source>
        <translation>Automatycznie połącz ze wszystkimi znalezionymi urządzeniami</translation>
    </message>
    <message>
        <source>Search
settings</source>
        <translation>Ustawienia
wyszukiwania</translation>
    </message>
    <message>
        <source>Connect to specific device</source>
        <translation>Połącz z określonym urządzeniem</translation>
    </message>
    <message>
        <source>Set up device&apos;s IP address</source>
        <translation>Podaj adres IP urządzenia</translation>
    </message>
    <message>
        <source>Add new device managed by USB pendrive</source>
        <translation>Dodaj nowe urządzenie obsługiwane przez pendrive USB</translation>
    </message>
    <message>
        <source>Select this option if network connection is not possible</source>
        <translation>Wybierz tę opcję, jeśli połączenie sieciowe nie jest możliwe</translation>
    </message>
    <message>
        <source>Enter device&apos;s IP address</source>
        <translation>Wpisz adres IP urządzenia</translation>
    </message>
    <message>
        <source>Please enter a valid IP address. Ex. 192.168.001.011.</source>
        <translation>Wpisz prawidłowy adres IP, np. 192.168.001.011.</translation>
    </message>
    <message>
        <source>Connecting...</source>
        <translation>Łączenie...</translation>
    </message>
    <message>
        <source>Go Back</source>
        <translation>Wstecz</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Połącz</translation>
    </message>
    <message>
        <source>Device&apos;s name</source>
        <translation>Nazwa urządzenia</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Hasło</translation>
    </message>
    <message>
        <source>Remember password</source>
        <translation>Zapamiętaj hasło</translation>
    </message>
    <message>
        <source>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;/head&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Ombrelay could not connect to any device.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;!DOCTYPE HTML PUBLIC &quot;-//W3C//DTD HTML 4.0//EN&quot; &quot;http://www.w3.org/TR/REC-html40/strict.dtd&quot;&gt;&lt;html&gt;&lt;head&gt;&lt;meta name=&quot;qrichtext&quot; content=&quot;1&quot; /&gt;&lt;/head&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-size:8pt;&quot;&gt;Ombrelay nie mógł połączyć się z żadnym urządzeniem.&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Uncheck all</source>
        <translation>Odznacz wszystkie</translation>
    </message>
    <message>
        <source>Add to device list and finish</source>
        <translation>Dodaj do listy urządzeń i zakończ</translation>
    </message>
    <message>
        <source>Stop search</source>
        <translation>Zatrzymaj wyszukiwanie</translation>
    </message>
    <message>
        <source>Search all available network interfaces</source>
        <translation>Przeszukaj wszystkie dostępne interfejsy sieciowe</translation>
    </message>
    <message>
        <source>Search specified scope of IP addresses</source>
        <translation>Przeszukaj podany zakres adresów IP</translation>
    </message>
    <message>
        <source>000.000.000.000; </source>
        <translation>000.000.000.000; </translation>
    </message>
    <message>
        <source>Search start:</source>
        <translation>Od adresu:</translation>
    </message>
    <message>
        <source>Search end:</source>
        <translation>Do adresu:</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Szukaj</translation>
    </message>
    <message>
        <source>fast scan</source>
        <translation>szybkie wyszukiwanie</translation>
    </message>
    <message>
        <source>check connection before search starts (tests only)</source>
        <translation>sprawdź połączenie przed wyszukiwaniem (tylko testy)</translation>
    </message>
    <message>
        <source>There is no network connection available. Please make sure a network cable is plugged in.</source>
        <translation>Brak dostępnego połączenia sieciowego. Upewnij się, że kabel sieciowy jest podłączony.</translation>
    </message>
    <message>
        <source>The search range may hold at most 65536 addresses.</source>
        <translation>Zakres wyszukiwania może obejmować najwyżej 65536 adresów.</translation>
    </message>
    <message>
        <source>Initializing...</source>
        <translation>Inicjalizacja...</translation>
    </message>
    <message>
        <source>Searching for devices...</source>
        <translation>Wyszukiwanie urządzeń...</translation>
    </message>
    <message>
        <source>Connected to %1</source>
        <translation>Połączono z %1</translation>
    </message>
    <message>
        <source>IP address: %1</source>
        <translation>Adres IP: %1</translation>
    </message>
    <message>
        <source>MAC address: %1</source>
        <translation>Adres MAC: %1</translation>
    </message>
    <message>
        <source>Hardware version: %1</source>
        <translation>Wersja sprzętu: %1</translation>
    </message>
    <message>
        <source>Software version: %1</source>
        <translation>Wersja oprogramowania: %1</translation>
    </message>
    <message>
        <source>Protocol version: %1</source>
        <translation>Wersja protokołu: %1</translation>
    </message>
    <message>
        <source>Ombrelay could not establish connection to this device. Would you like to add it anyway?</source>
        <translation>Ombrelay nie mógł nawiązać połączenia z tym urządzeniem. Czy mimo to chcesz je dodać?</translation>
    </message>
    <message>
        <source>Unknown device</source>
        <translation>Nieznane urządzenie</translation>
    </message>
    <message>
        <source>Search is stopping. Please wait.</source>
        <translation>Wyszukiwanie jest zatrzymywane. Proszę czekać.</translation>
    </message>
    <message>
        <source>Check all</source>
        <translation>Zaznacz wszystkie</translation>
    </message>
    <message>
        <source>Start IP is not valid.</source>
        <translation>Początkowy adres IP jest nieprawidłowy.</translation>
    </message>
    <message>
        <source>Starting IP address has to be lower than last
one.Please specify correct pair.</source>
        <translation>Początkowy adres IP musi być niższy niż końcowy. Podaj prawidłową parę.</translation>
    </message>
    <message>
        <source>This IP is being used by another device.</source>
        <translation>Ten adres IP jest używany przez inne urządzenie.</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Utwórz</translation>
    </message>
    <message>
        <source>Ombrelay is looking for connected devices. Do you want to stop and exit?</source>
        <translation>Ombrelay szuka podłączonych urządzeń. Czy chcesz zatrzymać wyszukiwanie i zakończyć?</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Device name</source>
        <translation>Nazwa urządzenia</translation>
    </message>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
</context>
</TS>
