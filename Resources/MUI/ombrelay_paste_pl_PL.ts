<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>FavouriteListEditor</name>
    <message>
        <source>Pasting into the list...</source>
        <translation>Wklejanie do listy...</translation>
    </message>
</context>
</TS>
