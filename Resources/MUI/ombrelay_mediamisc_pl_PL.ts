<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>AVTranscoder</name>
    <message>
        <source>There is not enough free space on the disk for %1.</source>
        <translation>Na dysku nie ma wystarczająco wolnego miejsca na %1.</translation>
    </message>
</context>
</TS>
