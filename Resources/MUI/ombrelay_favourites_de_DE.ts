<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ListTabWidget</name>
    <message>
        <source>List %1</source>
        <translation>Liste %1</translation>
    </message>
    <message>
        <source>Are you sure you want to delete current favourite list?</source>
        <translation>Möchten Sie die aktuelle Favoritenliste wirklich löschen?</translation>
    </message>
</context>
<context>
    <name>ListsTabCornerWidget</name>
    <message>
        <source>Create new list</source>
        <translation>Neue Liste anlegen</translation>
    </message>
    <message>
        <source>Delete current list</source>
        <translation>Aktuelle Liste löschen</translation>
    </message>
</context>
<context>
    <name>FavouriteListEditor</name>
    <message>
        <source>Create new</source>
        <translation>Anlegen</translation>
    </message>
    <message>
        <source>This list is read-only</source>
        <translation>Diese Liste ist schreibgeschützt</translation>
    </message>
</context>
<context>
    <name>BasicEditPanel</name>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
</TS>
