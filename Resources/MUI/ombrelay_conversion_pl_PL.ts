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
</TS>
