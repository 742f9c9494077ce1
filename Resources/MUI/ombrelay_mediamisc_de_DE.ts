<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AVTranscoder</name>
    <message>
        <source>There is not enough free space on the disk for %1.</source>
        <translation>Auf dem Datenträger ist nicht genug freier Speicherplatz für %1.</translation>
    </message>
</context>
</TS>
