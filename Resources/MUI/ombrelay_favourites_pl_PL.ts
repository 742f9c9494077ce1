<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>ListTabWidget</name>
    <message>
        <source>List %1</source>
        <translation>Lista %1</translation>
    </message>
    <message>
        <source>Are you sure you want to delete current favourite list?</source>
        <translation>Czy na pewno chcesz usunąć bieżącą listę ulubionych?</translation>
    </message>
</context>
<context>
    <name>ListsTabCornerWidget</name>
    <message>
        <source>Create new list</source>
        <translation>Utwórz nową listę</translation>
    </message>
    <message>
        <source>Delete current list</source>
        <translation>Usuń bieżącą listę</translation>
    </message>
</context>
<context>
    <name>FavouriteListEditor</name>
    <message>
        <source>Create new</source>
        <translation>Utwórz</translation>
    </message>
    <message>
        <source>This list is read-only</source>
        <translation>Ta lista jest tylko do odczytu</translation>
    </message>
</context>
<context>
    <name>BasicEditPanel</name>
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
</context>
</TS>
