<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>vrx::TrafficWords</name>
    <message>
        <source>%1 ms 内没有回复</source>
        <translation>no reply within %1 ms</translation>
    </message>
</context>
</TS>
