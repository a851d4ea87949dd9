<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>vrx::FindReaders</name>
    <message>
        <source>查找读卡器</source>
        <translation>Find readers</translation>
    </message>
    <message>
        <source>广播查找</source>
        <translation>Broadcast</translation>
    </message>
    <message>
        <source>扫描</source>
        <translation>Scan</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>使用</source>
        <translation>Use</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>在本机每块网卡上广播查询，找出同一网络上的读卡器，不必知道它们的地址。</source>
        <translation>Broadcasts a query on every network card of this computer to find the readers on the same network, without knowing their addresses.</translation>
    </message>
    <message>
        <source>地址范围：</source>
        <translation>Addresses:</translation>
    </message>
    <message>
        <source>地址范围</source>
        <translation>Addresses</translation>
    </message>
    <message>
        <source>192.168.0.0/24 或 192.168.0.100-200</source>
        <translation>192.168.0.0/24 or 192.168.0.100-200</translation>
    </message>
    <message>
        <source>一个地址、一个网段（192.168.0.0/24）或一个起止范围（192.168.0.100-192.168.0.200），几个范围之间用空格或逗号隔开。</source>
        <translation>An address, a block (192.168.0.0/24) or a range (192.168.0.100-192.168.0.200); separate several with blanks or commas.</translation>
    </message>
    <message>
        <source>找到的读卡器</source>
        <translation>Readers found</translation>
    </message>
    <message>
        <source>把选中的读卡器填入主窗口并读取它的参数。</source>
        <translation type="vanished">Puts the selected reader into the main window and reads its settings.</translation>
    </message>
    <message>
        <source>正在本机各网卡上广播查找…</source>
        <translation>Broadcasting on every network card of this computer…</translation>
    </message>
    <message>
        <source>正在扫描…</source>
        <translation>Scanning…</translation>
    </message>
    <message>
        <source>正在停止，等待已发出的查询的回复…</source>
        <translation>Stopping: waiting for the replies to the queries already sent…</translation>
    </message>
    <message>
        <source>正在广播查找…已找到 %1 台读卡器。</source>
        <translation>Broadcasting… %1 reader(s) found so far.</translation>
    </message>
    <message>
        <source>%1没有完成：%2</source>
        <translation>%1 did not finish: %2</translation>
    </message>
    <message>
        <source>请在“地址范围：”中填写要扫描的地址：一个地址（192.168.0.101）、一个网段（192.168.0.0/24）或一个起止范围（192.168.0.100-192.168.0.200）。</source>
        <translation>Type the addresses to scan into &quot;Addresses:&quot;: an address (192.168.0.101), a block (192.168.0.0/24) or a range (192.168.0.100-192.168.0.200).</translation>
    </message>
    <message>
        <source>“%1”不是正确的网段：网段写作网络地址加“/”和0到32的前缀长度，例如 192.168.0.0/24。</source>
        <translation>&quot;%1&quot; is not a valid block: write the network address, &quot;/&quot; and a prefix length from 0 to 32, e.g. 192.168.0.0/24.</translation>
    </message>
    <message>
        <source>“%1”不是正确的起止范围：写作起始地址“-”结束地址，例如 192.168.0.100-192.168.0.200，或只写结束地址的最后一段：192.168.0.100-200。</source>
        <translation>&quot;%1&quot; is not a valid range: write first address &quot;-&quot; last address, e.g. 192.168.0.100-192.168.0.200, or only the last part of the last address: 192.168.0.100-200.</translation>
    </message>
    <message>
        <source>地址范围“%1”的结束地址小于起始地址，请把小的地址写在前面。</source>
        <translation>In the range &quot;%1&quot; the last address is below the first: write the lower address first.</translation>
    </message>
    <message>
        <source>“%1”不是IP地址、网段或起止范围。地址须写满四段，例如 192.168.0.101。</source>
        <translation>&quot;%1&quot; is not an IP address, a block or a range. An address has all four parts, e.g. 192.168.0.101.</translation>
    </message>
    <message>
        <source>要扫描的地址太多：到“%1”为止已有 %2 个地址，一次扫描最多 %3 个（一个 /16 网段）。请把范围分成几次扫描。</source>
        <translation>Too many addresses to scan: %2 up to &quot;%1&quot;, and one scan takes at most %3 (a /16 block). Split the ranges over several scans.</translation>
    </message>
    <message>
        <source>地址范围中没有可以扫描的地址。</source>
        <translation>The ranges hold no address that can be scanned.</translation>
    </message>
    <message>
        <source>无法广播查找：本机没有可以广播的网卡（回环网卡和没有子网广播地址的网卡不能广播）。本机的网卡：%1。请接好网线并给网卡设置IP地址，或用“扫描”按地址范围查找。</source>
        <translation>Cannot broadcast: no network card of this computer can broadcast (loopback cards and cards without a subnet broadcast address cannot). This computer&apos;s cards: %1. Connect the cable and give the card an IP address, or use Scan with an address range.</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>没有找到读卡器。已从以下网卡广播查询（读卡器端口1001）：
%1

可能的原因：防火墙挡住了读卡器发往本机端口1000的回复；这些网卡所在的网络上没有读卡器，或读卡器没有通电、没有接好网线。读卡器在路由器后面时，请用“扫描”按地址范围查找。</source>
        <translation>No reader found. Queries were broadcast (to reader port 1001) from these cards:
%1

Possible causes: a firewall blocks the readers&apos; replies to port 1000 of this computer; there is no reader on these cards&apos; networks, or the reader has no power or no cable. For a reader behind a router, use Scan with an address range.</translation>
    </message>
    <message>
        <source>读卡器IP</source>
        <translation>Reader IP</translation>
    </message>
    <message>
        <source>子网掩码</source>
        <translation>Subnet mask</translation>
    </message>
    <message>
        <source>默认网关</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>服务器计算机IP</source>
        <translation>Server IP</translation>
    </message>
    <message>
        <source>读卡器协议</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>网卡</source>
        <translation>Card</translation>
    </message>
    <message>
        <source>%1（MAC重复）</source>
        <translation>%1 (duplicate MAC)</translation>
    </message>
    <message>
        <source>MAC重复：%1 也在 %2 回答，同一网络上的两台读卡器须有不同的MAC。</source>
        <translation>Duplicate MAC: %1 also answers at %2. Two readers on one network must have different MACs.</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>这台读卡器不在网卡 %1 的子网内，本机还不能直接访问它。可先给网卡加一个它所在子网的地址：%2</source>
        <translation>This reader is outside the subnet of card %1, so this computer cannot reach it yet. Give the card an address in the reader&apos;s subnet first: %2</translation>
    </message>
    <message>
        <source>已扫描 %1/%2 个地址，找到 %3 台读卡器。</source>
        <translation>Scanned %1/%2 addresses, %3 reader(s) found.</translation>
    </message>
    <message>
        <source>已扫描 %1/%2 个地址，找到 %3 台读卡器，约还需 %4 秒。</source>
        <translation>Scanned %1/%2 addresses, %3 reader(s) found, about %4 s left.</translation>
    </message>
    <message>
        <source>已停止，找到 %1 台读卡器。</source>
        <translation>Stopped: %1 reader(s) found.</translation>
    </message>
    <message>
        <source>找到 %1 台读卡器。</source>
        <translation>%1 reader(s) found.</translation>
    </message>
    <message>
        <source>未写入：读卡器无应答</source>
        <translation>Not written: no reply from the reader</translation>
    </message>
    <message>
        <source>批量配置</source>
        <translation>Configure selected</translation>
    </message>
    <message>
        <source>批量下载密码</source>
        <translation>Download keys to selected</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>导出…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>把主窗口“目标IP信息”的参数写入选中的每台读卡器：先读取，再写入，再读回核对。每台读卡器保留自己的IP和MAC，除非选择重新编址。</source>
        <translation>Writes the main window&apos;s Settings to write into every selected reader: read first, then write, then read back. Each reader keeps its own IP and MAC unless New addresses is ticked.</translation>
    </message>
    <message>
        <source>把主窗口的32个密码下载到选中的每台读卡器。</source>
        <translation>Downloads the main window&apos;s 32 keys to every selected reader.</translation>
    </message>
    <message>
        <source>重新编址，起始地址：</source>
        <translation>New addresses from:</translation>
    </message>
    <message>
        <source>选中的读卡器按表中顺序从起始地址起依次取新地址，MAC随新地址自动生成。</source>
        <translation>The selected readers take new addresses upward from this one, in the list&apos;s order; each MAC follows its new address.</translation>
    </message>
    <message>
        <source>起始地址</source>
        <translation>First new address</translation>
    </message>
    <message>
        <source>重新读取表中每台读卡器的参数。</source>
        <translation>Reads the settings of every listed reader again.</translation>
    </message>
    <message>
        <source>把表中的读卡器写成CSV文件，列与 vrxctl scan --csv 相同。</source>
        <translation>Writes the list as a CSV file with the columns of vrxctl scan --csv.</translation>
    </message>
    <message>
        <source>把选中的读卡器和它所在网卡的地址填入主窗口，并读取它的参数。</source>
        <translation>Puts the selected reader and its card&apos;s address into the main window and reads its settings.</translation>
    </message>
    <message>
        <source>正在停止，等待正在处理的读卡器完成…</source>
        <translation>Stopping: waiting for the reader in hand to finish…</translation>
    </message>
    <message>
        <source>正在处理…</source>
        <translation>Working…</translation>
    </message>
    <message>
        <source>请确认重新编址的起始地址填写的格式正确！</source>
        <translation>Check the first new address: it is not a valid address.</translation>
    </message>
    <message>
        <source>正在批量配置 %1 台读卡器…</source>
        <translation>Configuring %1 reader(s)…</translation>
    </message>
    <message>
        <source>正在向 %1 台读卡器下载密码…</source>
        <translation>Downloading keys to %1 reader(s)…</translation>
    </message>
    <message>
        <source>%1 不能写入读卡器现有的值 %2，请在目标IP信息中选择一项</source>
        <translation>%1: the reader&apos;s value %2 cannot be written back; choose one in Settings to write</translation>
    </message>
    <message>
        <source>参数不正确</source>
        <translation>invalid setting</translation>
    </message>
    <message>
        <source>本机没有到 %1 的路由</source>
        <translation>this computer has no route to %1</translation>
    </message>
    <message>
        <source>新地址超出了 255.255.255.255</source>
        <translation>the new address would pass 255.255.255.255</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>读卡器回显了下载的密码。</source>
        <translation>The reader echoed the keys downloaded.</translation>
    </message>
    <message>
        <source>参数已写入，%1 毫秒后读回核对，十一项参数与写入的相同。</source>
        <translation>Settings written; read back after %1 ms, all eleven as written.</translation>
    </message>
    <message>
        <source>无应答</source>
        <translation>No reply</translation>
    </message>
    <message>
        <source>读取参数时读卡器没有回答，没有向它写入任何内容。</source>
        <translation>The reader did not answer the read; nothing was written to it.</translation>
    </message>
    <message>
        <source>写入参数后没有收到读卡器的回显。</source>
        <translation>No echo from the reader after the settings were written.</translation>
    </message>
    <message>
        <source>下载密码后没有收到读卡器的回显，参数没有写入。</source>
        <translation>No echo from the reader after the keys; the settings were not written.</translation>
    </message>
    <message>
        <source>参数已写入并得到回显，但读回核对时读卡器没有回答。</source>
        <translation>Settings written and echoed, but the reader did not answer the read-back.</translation>
    </message>
    <message>
        <source>参数已写入并得到回显，但本机没有到新地址 %1 的路由，无法读回核对。</source>
        <translation>Settings written and echoed, but this computer has no route to the new address %1 to read them back.</translation>
    </message>
    <message>
        <source>回显不符</source>
        <translation>Echo differs</translation>
    </message>
    <message>
        <source>读卡器的回显与写入的参数不同。</source>
        <translation>The reader&apos;s echo differs from the settings written.</translation>
    </message>
    <message>
        <source>读卡器回显的密码与下载的不同，参数没有写入。</source>
        <translation>The reader&apos;s echo of the keys differs from those downloaded; the settings were not written.</translation>
    </message>
    <message>
        <source>读回的参数与写入的不同：%1</source>
        <translation>The settings read back differ from those written: %1</translation>
    </message>
    <message>
        <source>未写入：%1</source>
        <translation>Not written: %1</translation>
    </message>
    <message>
        <source>没有向读卡器写入任何内容：%1</source>
        <translation>Nothing was written to the reader: %1</translation>
    </message>
    <message>
        <source>批量配置结束：成功 %1 台，失败 %2 台</source>
        <translation>Batch configure done: %1 OK, %2 failed</translation>
    </message>
    <message>
        <source>批量下载密码结束：成功 %1 台，失败 %2 台</source>
        <translation>Batch key download done: %1 OK, %2 failed</translation>
    </message>
    <message>
        <source>，停止后未处理 %1 台</source>
        <translation>, %1 left untouched after Stop</translation>
    </message>
    <message>
        <source>导出读卡器列表</source>
        <translation>Export the reader list</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>无法写入文件“%1”：%2</source>
        <translation>Cannot write the file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>已把 %1 台读卡器导出到 %2。</source>
        <translation>%1 reader(s) exported to %2.</translation>
    </message>
    <message>
        <source>正在重新读取 %1 台读卡器…</source>
        <translation>Reading %1 reader(s) again…</translation>
    </message>
    <message>
        <source>刷新时读卡器没有回答。</source>
        <translation>The reader did not answer the refresh.</translation>
    </message>
    <message>
        <source>已刷新，%1 台读卡器没有回答。</source>
        <translation>Refreshed; %1 reader(s) did not answer.</translation>
    </message>
    <message>
        <source>已刷新。</source>
        <translation>Refreshed.</translation>
    </message>
    <message>
        <source>刷新没有完成：%1</source>
        <translation>The refresh did not finish: %1</translation>
    </message>
    <message>
        <source>读卡器端口</source>
        <translation>Reader port</translation>
    </message>
    <message>
        <source>服务器计算机端口</source>
        <translation>Server port</translation>
    </message>
    <message>
        <source>是否需发送心跳</source>
        <translation>Heartbeat</translation>
    </message>
    <message>
        <source>读卡时蜂鸣器</source>
        <translation>Beep on read</translation>
    </message>
    <message>
        <source>密码选择</source>
        <translation>Keys used</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>（不在子网内）</source>
        <translation> (outside subnet)</translation>
    </message>
    <message>
        <source>读卡器 %1 不在网卡 %2（%3）的子网内，本机还不能直接访问它。请先给网卡 %2 加一个它所在子网的地址：
%4
用完后再去掉这个地址：
%5</source>
        <translation>Reader %1 is outside the subnet of card %2 (%3), so this computer cannot reach it yet. First give card %2 an address in the reader&apos;s subnet:
%4
and take it away afterwards:
%5</translation>
    </message>
</context>
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
    <message>
        <source>读卡器IP</source>
        <translation>Reader IP</translation>
    </message>
    <message>
        <source>读卡器子网掩码</source>
        <translation>Subnet mask</translation>
    </message>
    <message>
        <source>读卡器默认网关</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>读卡器端口</source>
        <translation>Reader port</translation>
    </message>
    <message>
        <source>服务器计算机IP</source>
        <translation>Server IP</translation>
    </message>
    <message>
        <source>服务器计算机端口</source>
        <translation>Server port</translation>
    </message>
    <message>
        <source>MAC</source>
        <translation>MAC</translation>
    </message>
    <message>
        <source>读卡器协议</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>是否需发送心跳</source>
        <translation>Heartbeat</translation>
    </message>
    <message>
        <source>读卡时蜂鸣器</source>
        <translation>Beep on read</translation>
    </message>
    <message>
        <source>密码选择</source>
        <translation>Keys used</translation>
    </message>
    <message>
        <source>UDP</source>
        <translation>UDP</translation>
    </message>
    <message>
        <source>TCP服务器</source>
        <translation>TCP server</translation>
    </message>
    <message>
        <source>TCP客户端</source>
        <translation>TCP client</translation>
    </message>
    <message>
        <source>不发送</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>On</translation>
    </message>
    <message>
        <source>不发声</source>
        <translation>Silent</translation>
    </message>
    <message>
        <source>发声</source>
        <translation>Beep</translation>
    </message>
    <message>
        <source>命令中的密码</source>
        <translation>Keys in commands</translation>
    </message>
    <message>
        <source>读卡器内部密码</source>
        <translation>Keys in reader</translation>
    </message>
    <message>
        <source>VRX-K系列在线配置</source>
        <translation>VRX-K Reader Configuration</translation>
    </message>
    <message>
        <source>目标IP信息</source>
        <translation>Settings to write</translation>
    </message>
    <message>
        <source>原IP信息</source>
        <translation>Settings read</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>读卡器IP:</source>
        <translation>Reader IP:</translation>
    </message>
    <message>
        <source>本机IP:</source>
        <translation>Local IP:</translation>
    </message>
    <message>
        <source>读取读卡器参数</source>
        <translation>Read settings</translation>
    </message>
    <message>
        <source>配置读卡器参数</source>
        <translation>Write settings</translation>
    </message>
    <message>
        <source>准备下载的密码</source>
        <translation>Keys to download</translation>
    </message>
    <message>
        <source>下载密码说明：配置的内容中，要选择有使用读卡器内部 或者 读写命令中的密码，如果使用读卡器内部密码验证，才需要下载密码到读卡中；如果使用读写命令中密码，就不用下载密码到读卡器中了。</source>
        <translation>About keys: cards are checked either with the keys in each command or with keys stored in the reader (Keys used). Only a reader using its stored keys needs them downloaded.</translation>
    </message>
    <message>
        <source>下载读卡器密码</source>
        <translation>Download keys</translation>
    </message>
    <message>
        <source>区号</source>
        <translation>Sector</translation>
    </message>
    <message>
        <source>A密码</source>
        <translation>Key A</translation>
    </message>
    <message>
        <source>B密码</source>
        <translation>Key B</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>VRX系列在线配置软件（vrx-config）
版本 %1
读取和配置VRX系列网络读卡器的参数，下载读卡器密码。
许可：专有软件。版权所有 © 2026 VRX Config 开发者，保留一切权利；尚未授予复制或修改本软件的许可。</source>
        <translation>VRX Reader Configuration (vrx-config)
Version %1
Reads and writes the settings of VRX networked card readers and downloads their keys.
Licence: proprietary. Copyright © 2026 the VRX Config developers, all rights reserved; no licence to copy or modify this software has been granted yet.</translation>
    </message>
    <message>
        <source>复制原参数到目标</source>
        <translation>Copy read to target</translation>
    </message>
    <message>
        <source>把原IP信息的十一项参数全部复制到目标IP信息；“自动”随之取消，以保留读到的MAC。</source>
        <translation>Copies all eleven settings read into the settings to write; Auto is unticked so that the MAC read is kept.</translation>
    </message>
    <message>
        <source>请先读取读卡器参数，再复制到目标。</source>
        <translation>Read the reader&apos;s settings first, then copy them to the target.</translation>
    </message>
    <message>
        <source>下载密码成功！</source>
        <translation>Keys downloaded: the reader echoed them exactly.</translation>
    </message>
    <message>
        <source>下载密码失败，请确认是否是在读卡器的服务器计算机上进行的操作或者读卡器的IP填写是否正确！</source>
        <translation>Key download failed: the reader did not confirm. Check the reader IP, and that this computer is the reader&apos;s server computer.</translation>
    </message>
    <message>
        <source>请确认扫描的IP填写的格式正确！</source>
        <translation>Check the reader IP: it is not a valid address.</translation>
    </message>
    <message>
        <source>获取设备参数成功！</source>
        <translation>Settings read.</translation>
    </message>
    <message>
        <source>获取设备参数失败！</source>
        <translation>Reading the settings failed: no valid reply from the reader.</translation>
    </message>
    <message>
        <source>请先填写要配置的读卡器IP!</source>
        <translation>Type the reader IP first.</translation>
    </message>
    <message>
        <source>请确认读卡器的IP填写的格式正确！</source>
        <translation>Check the reader IP: it is not a valid address.</translation>
    </message>
    <message>
        <source>控件库未能安装，程序照常运行：%1</source>
        <translation>The control libraries could not be installed; the program works all the same: %1</translation>
    </message>
    <message>
        <source>使用说明</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>请先在目标IP信息中选择“%1”。</source>
        <translation>Choose &quot;%1&quot; in Settings to write first.</translation>
    </message>
</context>
<context>
    <name>vrx::KeyFileTransfer</name>
    <message>
        <source>密码文件 (*.txt);;所有文件 (*)</source>
        <translation>Key files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>密码文件第%1行格式不对：每行应为“区号 A密码 B密码”三项，这一行有%2项。</source>
        <translation>Key file line %1: each line needs three items, &quot;sector A-key B-key&quot;; this one has %2.</translation>
    </message>
    <message>
        <source>密码文件第%1行的区号不对：区号应为0到15之间的数字。</source>
        <translation>Key file line %1: the sector must be a number from 0 to 15.</translation>
    </message>
    <message>
        <source>密码文件第%1行又给出了第%2区的密码，第%3行已经给出过：每个区只能有一行。</source>
        <translation>Key file line %1 gives sector %2 again, already given on line %3: one line per sector.</translation>
    </message>
    <message>
        <source>密码文件第%1行的%2超过12位十六进制数字。</source>
        <translation>Key file line %1: %2 is longer than 12 hexadecimal digits.</translation>
    </message>
    <message>
        <source>密码文件第%1行的%2含有不是十六进制数字的字符。</source>
        <translation>Key file line %1: %2 holds a character that is not a hexadecimal digit.</translation>
    </message>
    <message>
        <source>密码文件缺少第%1区的密码：0到15区每区都要有一行。</source>
        <translation>The key file has no keys for sector %1: sectors 0 to 15 each need a line.</translation>
    </message>
    <message>
        <source>导入密码</source>
        <translation>Import keys</translation>
    </message>
    <message>
        <source>无法读取密码文件“%1”：%2</source>
        <translation>Cannot read the key file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>“%1”不是密码文件：文件太大。</source>
        <translation>&quot;%1&quot; is not a key file: it is too large.</translation>
    </message>
    <message>
        <source>
没有导入任何密码。</source>
        <translation>
No key was imported.</translation>
    </message>
    <message>
        <source>不是12位十六进制数字，无法导出！</source>
        <translation> is not 12 hexadecimal digits: nothing was exported.</translation>
    </message>
    <message>
        <source>导出的文件将以明文保存全部32个密码，能读取这个文件的人都能看到它们。文件只允许您本人读写，请妥善保管。
确定要导出吗？</source>
        <translation>The file will hold all 32 keys in clear text: anyone who can read it can see them. Only you may read and write it; keep it safe.
Export the keys?</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>导出密码</source>
        <translation>Export keys</translation>
    </message>
    <message>
        <source>密码已导出到“%1”。</source>
        <translation>Keys exported to &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>无法写入密码文件“%1”：%2</source>
        <translation>Cannot write the key file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>这是一个文件夹。</source>
        <translation>It is a folder.</translation>
    </message>
    <message>
        <source>文件夹不存在。</source>
        <translation>The folder does not exist.</translation>
    </message>
    <message>
        <source>没有写入的权限。</source>
        <translation>No permission to write there.</translation>
    </message>
</context>
<context>
    <name>vrx::MessageBox</name>
    <message>
        <source>VRX系列在线配置软件</source>
        <translation>VRX Reader Configuration</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>vrx::SettingsSummary</name>
    <message>
        <source>读卡器IP</source>
        <translation>Reader IP</translation>
    </message>
    <message>
        <source>读卡器子网掩码</source>
        <translation>Subnet mask</translation>
    </message>
    <message>
        <source>读卡器默认网关</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>读卡器端口</source>
        <translation>Reader port</translation>
    </message>
    <message>
        <source>服务器计算机IP</source>
        <translation>Server IP</translation>
    </message>
    <message>
        <source>服务器端口</source>
        <translation>Server port</translation>
    </message>
    <message>
        <source>MAC</source>
        <translation>MAC</translation>
    </message>
    <message>
        <source>读卡器协议</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>是否需发送心跳</source>
        <translation>Heartbeat</translation>
    </message>
    <message>
        <source>读卡时蜂鸣器</source>
        <translation>Beep on read</translation>
    </message>
    <message>
        <source>密码选择</source>
        <translation>Keys used</translation>
    </message>
    <message>
        <source>UDP</source>
        <translation>UDP</translation>
    </message>
    <message>
        <source>TCP服务器</source>
        <translation>TCP server</translation>
    </message>
    <message>
        <source>TCP客户端</source>
        <translation>TCP client</translation>
    </message>
    <message>
        <source>数据错误</source>
        <translation>bad data</translation>
    </message>
    <message>
        <source>发声</source>
        <translation>Beep</translation>
    </message>
    <message>
        <source>不发声</source>
        <translation>Silent</translation>
    </message>
    <message>
        <source>蜂鸣器位置数据错误</source>
        <translation>bad data in the beeper byte</translation>
    </message>
    <message>
        <source>使用命令中的密码</source>
        <translation>keys in commands</translation>
    </message>
    <message>
        <source>使用读卡器内部密码</source>
        <translation>keys in reader</translation>
    </message>
    <message>
        <source>密码选择位置数据错误</source>
        <translation>bad data in the key source byte</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>On</translation>
    </message>
    <message>
        <source>不发送</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>设置成功！</source>
        <translation>Settings written: the reader echoed them exactly.</translation>
    </message>
    <message>
        <source>设置失败，请确认是否是在读卡器的服务器计算机上进行的操作或者读卡器的IP填写是否正确！</source>
        <translation>Writing the settings failed: the reader did not confirm. Check the reader IP, and that this computer is the reader&apos;s server computer.</translation>
    </message>
</context>
<context>
    <name>vrx::TrafficLogWindow</name>
    <message>
        <source>通信记录</source>
        <translation>Traffic log</translation>
    </message>
    <message>
        <source>显示密码</source>
        <translation>Show keys</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
</context>
<context>
    <name>vrx::UserGuide</name>
    <message>
        <source>使用说明</source>
        <translation>User guide</translation>
    </message>
</context>
</TS>
