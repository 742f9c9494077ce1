<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>AVTranscoder</name>
    <message>
        <source>The process failed to start.</source>
        <translation>Nie udało się uruchomić procesu.</translation>
    </message>
    <message>
        <source>The process crashed some time after starting successfully.</source>
        <translation>Proces uległ awarii po prawidłowym uruchomieniu.</translation>
    </message>
    <message>
        <source>The process timed out.</source>
        <translation>Upłynął limit czasu procesu.</translation>
    </message>
    <message>
        <source>An error occurred when attempting to read from the process.</source>
        <translation>Wystąpił błąd podczas odczytu z procesu.</translation>
    </message>
    <message>
        <source>An error occurred when attempting to write to the process.</source>
        <translation>Wystąpił błąd podczas zapisu do procesu.</translation>
    </message>
    <message>
        <source>Unknown error.</source>
        <translation>Nieznany błąd.</translation>
    </message>
    <message>
        <source>A conversion is already running. Please wait until it has finished.</source>
        <translation>Konwersja już trwa. Poczekaj, aż się zakończy.</translation>
    </message>
    <message>
        <source>Input file does not exist: </source>
        <translation>Plik wejściowy nie istnieje: </translation>
    </message>
    <message>
        <source>The folder %1 already holds a DVD folder. Please choose another folder.</source>
        <translation>Folder %1 zawiera już folder DVD. Wybierz inny folder.</translation>
    </message>
    <message>
        <source>The target is the recording itself. Please choose another file name.</source>
        <translation>Plik docelowy jest samym nagraniem. Wybierz inną nazwę pliku.</translation>
    </message>
    <message>
        <source>Cannot write into the folder %1.</source>
        <translation>Nie można zapisywać w folderze %1.</translation>
    </message>
    <message>
        <source>Cannot find video converter. Please make sure that the path for FFmpeg in Settings is correct.</source>
        <translation>Nie znaleziono konwertera wideo. Sprawdź, czy ścieżka do FFmpeg w Ustawieniach jest prawidłowa.</translation>
    </message>
    <message>
        <source>Cannot write file %1.</source>
        <translation>Nie można zapisać pliku %1.</translation>
    </message>
    <message>
        <source>Cannot write the DVD authoring file in %1.</source>
        <translation>Nie można zapisać pliku sterującego DVD w %1.</translation>
    </message>
</context>
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>%1 is not a recording Ombrelay can convert.</source>
        <translation>%1 nie jest nagraniem, które Ombrelay potrafi przekonwertować.</translation>
    </message>
    <message>
        <source>To convert audio and video recordings Ombrelay needs FFmpeg software. It seems that FFmpeg path is incorrect. Would you like to set it now?</source>
        <translation>Do konwersji nagrań audio i wideo Ombrelay potrzebuje oprogramowania FFmpeg. Wygląda na to, że ścieżka do FFmpeg jest nieprawidłowa. Czy chcesz ją teraz ustawić?</translation>
    </message>
    <message>
        <source>Don't show this message again</source>
        <translation>Nie pokazuj więcej tego komunikatu</translation>
    </message>
    <message>
        <source>Choose directory</source>
        <translation>Wybierz katalog</translation>
    </message>
    <message>
        <source>Save recording as</source>
        <translation>Zapisz nagranie jako</translation>
    </message>
    <message>
        <source>Mp3 Files (*.mp3)</source>
        <translation>Pliki MP3 (*.mp3)</translation>
    </message>
    <message>
        <source>Mpg Files (*.mpg)</source>
        <translation>Pliki MPG (*.mpg)</translation>
    </message>
    <message>
        <source>MKV Files (*.mkv)</source>
        <translation>Pliki MKV (*.mkv)</translation>
    </message>
    <message>
        <source>Converting...</source>
        <translation>Konwertowanie...</translation>
    </message>
    <message>
        <source>FFmpeg error accured. Input file is probably corrupted.</source>
        <translation>Wystąpił błąd FFmpeg. Plik wejściowy jest prawdopodobnie uszkodzony.</translation>
    </message>
</context>
</TS>
