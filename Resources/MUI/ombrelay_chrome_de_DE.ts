<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>PdfViewer</name>
    <message>
        <location filename="../../forms/pdfviewer.ui" line="9" />
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <location filename="../../forms/pdfviewer.ui" line="20" />
        <source>First</source>
        <translation>Erste</translation>
    </message>
    <message>
        <location filename="../../forms/pdfviewer.ui" line="30" />
        <source>Previous</source>
        <translation>Vorherige</translation>
    </message>
    <message>
        <location filename="../../forms/pdfviewer.ui" line="45" />
        <source>Next</source>
        <translation>Nächste</translation>
    </message>
    <message>
        <location filename="../../forms/pdfviewer.ui" line="55" />
        <source>Last</source>
        <translation>Letzte</translation>
    </message>
    <message>
        <location filename="../../app/pdfviewer.cpp" line="57" />
        <source>Open Error</source>
        <translation>Fehler beim Öffnen</translation>
    </message>
    <message>
        <location filename="../../app/pdfviewer.cpp" line="57" />
        <source>Cannot open:
</source>
        <translation>Öffnen nicht möglich:
</translation>
    </message>
</context>
<context>
    <name>SettingsPage</name>
    <message>
        <location filename="../../forms/settingspage.ui" line="84" />
        <source>Application settings</source>
        <translation>Programmeinstellungen</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="137" />
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="160" />
        <location filename="../../app/settingspage.cpp" line="325" />
        <source>warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="251" />
        <source>Media directories</source>
        <translation>Medienordner</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="279" />
        <source>Pictures</source>
        <translation>Bilder</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="302" />
        <location filename="../../forms/settingspage.ui" line="361" />
        <location filename="../../forms/settingspage.ui" line="420" />
        <location filename="../../forms/settingspage.ui" line="587" />
        <source>Select</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="309" />
        <location filename="../../forms/settingspage.ui" line="368" />
        <location filename="../../forms/settingspage.ui" line="427" />
        <location filename="../../forms/settingspage.ui" line="594" />
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="338" />
        <source>Video</source>
        <translation>Video</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="397" />
        <source>Music</source>
        <translation>Musik</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="459" />
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="487" />
        <source>English</source>
        <translation>Englisch</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="497" />
        <source>German</source>
        <translation>Deutsch</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="507" />
        <source>Polish</source>
        <translation>Polnisch</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="536" />
        <source>Conversion</source>
        <translation>Umwandlung</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="564" />
        <source>FFmpeg</source>
        <translation>FFmpeg</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="626" />
        <source>Devices</source>
        <translation>Geräte</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="669" />
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <location filename="../../forms/settingspage.ui" line="672" />
        <source>Remove selected devices.</source>
        <translation>Ausgewählte Geräte entfernen.</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="15" />
        <source>Warning. Some fields are empty or incorrect.</source>
        <translation>Warnung. Einige Felder sind leer oder fehlerhaft.</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="120" />
        <source>Path does not exist.</source>
        <translation>Der Pfad existiert nicht.</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="177" />
        <source>Path is not correct.</source>
        <translation>Der Pfad ist nicht korrekt.</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="214" />
        <source>Select pictures path</source>
        <translation>Bilderordner wählen</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="219" />
        <source>Select video path</source>
        <translation>Videoordner wählen</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="224" />
        <source>Select music path</source>
        <translation>Musikordner wählen</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="229" />
        <source>Select video conversion program</source>
        <translation>Videoumwandlungsprogramm wählen</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="230" />
        <source>Conversion programs (*)</source>
        <translation>Umwandlungsprogramme (*)</translation>
    </message>
    <message>
        <location filename="../../app/settingspage.cpp" line="307" />
        <source>Do you want to remove selected devices from list?</source>
        <translation>Möchten Sie die ausgewählten Geräte aus der Liste entfernen?</translation>
    </message>
</context>
<context>
    <name>TopRightWidget</name>
    <message>
        <location filename="../../forms/toprightwidget.ui" line="15" />
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <location filename="../../forms/toprightwidget.ui" line="59" />
        <location filename="../../app/toprightwidget.cpp" line="66" />
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <location filename="../../forms/toprightwidget.ui" line="77" />
        <location filename="../../app/toprightwidget.cpp" line="67" />
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location filename="../../forms/toprightwidget.ui" line="115" />
        <location filename="../../app/toprightwidget.cpp" line="68" />
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <location filename="../../forms/toprightwidget.ui" line="135" />
        <location filename="../../app/toprightwidget.cpp" line="69" />
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <location filename="../../forms/toprightwidget.ui" line="152" />
        <location filename="../../app/toprightwidget.cpp" line="70" />
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <location filename="../../app/toprightwidget.cpp" line="53" />
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <location filename="../../app/toprightwidget.cpp" line="58" />
        <source>Maximize</source>
        <translation>Maximieren</translation>
    </message>
</context>
</TS>