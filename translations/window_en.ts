<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vrx::Form1</name>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>导入密码…</source>
        <translation>Import keys…</translation>
    </message>
    <message>
        <source>导出密码…</source>
        <translation>Export keys…</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>工具</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>查找读卡器…</source>
        <translation>Find readers…</translation>
    </message>
    <message>
        <source>通信记录</source>
        <translation>Traffic log</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
</context>
</TS>
