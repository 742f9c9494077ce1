<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>FavouriteListEditor</name>
    <message>
        <source>Pasting into the list...</source>
        <translation>Einfügen in die Liste...</translation>
    </message>
</context>
</TS>
