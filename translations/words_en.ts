<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>vrx::TrafficWords</name>
    <message>
        <source>%1 ms 内没有回复</source>
        <translation>no reply within %1 ms</translation>
    </message>
    <message>
        <source>时间(ms)</source>
        <translation>Time (ms)</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>对方地址</source>
        <translation>Peer</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Meaning</translation>
    </message>
    <message>
        <source>数据(十六进制)</source>
        <translation>Data (hex)</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Sent</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Received</translation>
    </message>
    <message>
        <source>参数查询</source>
        <translation>parameter query</translation>
    </message>
    <message>
        <source>参数块（配置）</source>
        <translation>parameter block (configure)</translation>
    </message>
    <message>
        <source>密码帧</source>
        <translation>key frame</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>data</translation>
    </message>
    <message>
        <source>%1，发送失败：%2</source>
        <translation>%1, send failed: %2</translation>
    </message>
    <message>
        <source>参数块，状态21</source>
        <translation>parameter block, status 21</translation>
    </message>
    <message>
        <source>配置回显，一致，状态11</source>
        <translation>configure echo, equal, status 11</translation>
    </message>
    <message>
        <source>配置回显，不一致，状态12</source>
        <translation>configure echo, differs, status 12</translation>
    </message>
    <message>
        <source>密码回显，一致，状态31</source>
        <translation>key echo, equal, status 31</translation>
    </message>
    <message>
        <source>密码回显，不一致，状态32</source>
        <translation>key echo, differs, status 32</translation>
    </message>
    <message>
        <source>状态%1</source>
        <translation>status %1</translation>
    </message>
    <message>
        <source>忽略：来自本机IP</source>
        <translation>ignored: from this computer&apos;s IP</translation>
    </message>
    <message>
        <source>忽略：发送方不是读卡器IP</source>
        <translation>ignored: sender is not the reader&apos;s IP</translation>
    </message>
    <message>
        <source>忽略：长度不符</source>
        <translation>ignored: wrong length</translation>
    </message>
</context>
</TS>
