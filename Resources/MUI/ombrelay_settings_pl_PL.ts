<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>MediaExplorerModule</name>
    <message>
        <source>Converting... (%1 converted)</source>
        <translation>Konwertowanie... (przekonwertowano %1)</translation>
    </message>
</context>
</TS>
