<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>Converting... (%1 converted)</source>
        <translation>Konvertierung... (%1 konvertiert)</translation>
    </message>
</context>
</TS>
