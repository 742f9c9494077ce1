<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>PdfViewer</name>
    <message>
        <location filename="../../forms/pdfviewer.ui" line="9" />
        <source>Help</source>
        <translation>Pomoc</translation>
    </message>
    <message>
        <location filename="../../forms/pdfviewer.ui" line="20" />
        <source>First</source>
        <translation>Pierwsza</translation>
    </message>
    <message>
        <location filename="../../forms/pdfviewer.ui" line="30" />
        <source>Previous</source>
        <translation>Poprzednia</translation>
    </message>
    <message>
        <location filename="../../forms/pdfviewer.ui" line="45" />
        <source>Next</source>
        <translation>Następna</translation>
    </message>
    <message>
        <location filename="../../forms/pdfviewer.ui" line="55" />
        <source>Last</source>
        <translation>Ostatnia</translation>
    </message>
    <message>
        <location filename="../../app/pdfviewer.cpp" line="57" />
        <source>Open Error</source>
        <translation>Błąd otwierania</translation>
    </message>
    <message>
        <location filename="../../app/pdfviewer.cpp" line="57" />
        <source>Cannot open:
</source>
        <translation>Nie można otworzyć:
</translation>
    </message>
</context>
<context>
    <name>SettingsPage</name>
    <message>
        <location filename="../../forms/settingspage.ui" line="84" />
        <source>Application settings</source>
        <translation>Ustawienia programu</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="137" />
        <source>Back</source>
        <translation>Wstecz</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="160" />
        <location filename="../../app/settingspage.cpp" line="325" />
        <source>warning</source>
        <translation>uwaga</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="251" />
        <source>Media directories</source>
        <translation>Foldery multimediów</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="279" />
        <source>Pictures</source>
        <translation>Zdjęcia</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="302" />
        <location filename="../../forms/settingspage.ui" line="361" />
        <location filename="../../forms/settingspage.ui" line="420" />
        <location filename="../../forms/settingspage.ui" line="587" />
        <source>Select</source>
        <translation>Wybierz</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="309" />
        <location filename="../../forms/settingspage.ui" line="368" />
        <location filename="../../forms/settingspage.ui" line="427" />
        <location filename="../../forms/settingspage.ui" line="594" />
        <source>Default</source>
        <translation>Domyślne</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="338" />
        <source>Video</source>
        <translation>Wideo</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="397" />
        <source>Music</source>
        <translation>Muzyka</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="459" />
        <source>Language</source>
        <translation>Język</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="487" />
        <source>English</source>
        <translation>Angielski</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="497" />
        <source>German</source>
        <translation>Niemiecki</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="507" />
        <source>Polish</source>
        <translation>Polski</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="536" />
        <source>Conversion</source>
        <translation>Konwersja</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="564" />
        <source>FFmpeg</source>
        <translation>FFmpeg</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="626" />
        <source>Devices</source>
        <translation>Urządzenia</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="669" />
        <source>Remove</source>
        <translation>Usuń</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="672" />
        <source>Remove selected devices.</source>
        <translation>Usuń wybrane urządzenia.</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="15" />
        <source>Warning. Some fields are empty or incorrect.</source>
        <translation>Uwaga. Niektóre pola są puste lub niepoprawne.</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="120" />
        <source>Path does not exist.</source>
        <translation>Ścieżka nie istnieje.</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="177" />
        <source>Path is not correct.</source>
        <translation>Ścieżka jest niepoprawna.</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="214" />
        <source>Select pictures path</source>
        <translation>Wybierz folder zdjęć</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="219" />
        <source>Select video path</source>
        <translation>Wybierz folder wideo</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="224" />
        <source>Select music path</source>
        <translation>Wybierz folder muzyki</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="229" />
        <source>Select video conversion program</source>
        <translation>Wybierz program do konwersji wideo</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="230" />
        <source>Conversion programs (*)</source>
        <translation>Programy do konwersji (*)</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="307" />
        <source>Do you want to remove selected devices from list?</source>
        <translation>Czy chcesz usunąć wybrane urządzenia z listy?</translation>
    </message>
</context>
<context>
    <name>TopRightWidget</name>
    <message>
        <location filename="../../forms/toprightwidget.ui" line="15" />
        <source>Form</source>
        <translation>Formularz</translation>
    </message>
    <message>
        <location filename="../../forms/toprightwidget.ui" line="59" />
        <location filename="../../app/toprightwidget.cpp" line="66" />
        <source>Minimize</source>
        <translation>Minimalizuj</translation>
    </message>
    <message>
        <location filename="../../forms/toprightwidget.ui" line="77" />
        <location filename="../../app/toprightwidget.cpp" line="67" />
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <location filename="../../forms/toprightwidget.ui" line="115" />
        <location filename="../../app/toprightwidget.cpp" line="68" />
        <source>Settings</source>
        <translation>Ustawienia</translation>
    </message>
    <message>
        <location filename="../../forms/toprightwidget.ui" line="135" />
        <location filename="../../app/toprightwidget.cpp" line="69" />
        <source>Help</source>
        <translation>Pomoc</translation>
    </message>
    <message>
        <location filename="../../forms/toprightwidget.ui" line="152" />
        <location filename="../../app/toprightwidget.cpp" line="70" />
        <source>About</source>
        <translation>O programie</translation>
    </message>
    <message>
        <location filename="../../app/toprightwidget.cpp" line="53" />
        <source>Restore</source>
        <translation>Przywróć</translation>
    </message>
    <message>
        <location filename="../../app/toprightwidget.cpp" line="58" />
        <source>Maximize</source>
        <translation>Maksymalizuj</translation>
    </message>
</context>
</TS>