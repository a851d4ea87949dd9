<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>vrx::FieldWords</name>
    <message>
        <source>请输入正确的本机地址</source>
        <translation>Enter a valid reader IP whose last number is not 0.</translation>
    </message>
    <message>
        <source>请输入正确的子网掩码</source>
        <translation>Enter a valid subnet mask.</translation>
    </message>
    <message>
        <source>请输入正确的默认网关</source>
        <translation>Enter a valid gateway whose last number is not 0.</translation>
    </message>
    <message>
        <source>请输入正确服务器计算机IP</source>
        <translation>Enter a valid server IP whose last number is not 0.</translation>
    </message>
    <message>
        <source>请输入1-65535之间的读卡器端口号</source>
        <translation>Enter a reader port between 1 and 65535.</translation>
    </message>
    <message>
        <source>请输入1-65535之间的服务器计算机端口号</source>
        <translation>Enter a server port between 1 and 65535.</translation>
    </message>
    <message>
        <source>请输入正确的读卡器MAC</source>
        <translation>Enter a valid reader MAC: six hexadecimal groups joined by &quot;-&quot;, such as 00-14-C0-A8-00-65.</translation>
    </message>
    <message>
        <source>读卡器协议不是列表中的一项，无法设置</source>
        <translation>the reader protocol is not an item of the list: nothing can be set</translation>
    </message>
    <message>
        <source>第%1区%2密码</source>
        <translation>key %2 of sector %1</translation>
    </message>
    <message>
        <source>%1长度小于12！</source>
        <translation>%1 is shorter than 12 hexadecimal digits</translation>
    </message>
    <message>
        <source>数值溢出</source>
        <translation>a number is too large</translation>
    </message>
</context>
<context>
    <name>vrx::SocketWords</name>
    <message>
        <source>绑定本机地址 %1 失败</source>
        <translation>cannot bind %1</translation>
    </message>
    <message>
        <source>发送到 %1 失败</source>
        <translation>cannot send to %1</translation>
    </message>
    <message>
        <source>接收数据失败</source>
        <translation>cannot receive</translation>
    </message>
    <message>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>地址正在使用，端口 %1 已被另一个程序占用。</source>
        <translation>address in use: another program holds port %1</translation>
    </message>
    <message>
        <source>无效参数。</source>
        <translation>invalid argument</translation>
    </message>
    <message>
        <source>连接由远程端重新设置（对方端口没有程序接收）。</source>
        <translation>connection reset by the remote end (no program receives on its port)</translation>
    </message>
    <message>
        <source>套接字的当前状态不允许这个操作。</source>
        <translation>the socket&apos;s state does not allow this</translation>
    </message>
    <message>
        <source>端口 %1 小于1024，绑定它需要管理员权限（root）或 cap_net_bind_service 能力。</source>
        <translation>port %1 is below 1024: binding it needs root or the cap_net_bind_service capability</translation>
    </message>
    <message>
        <source>权限不足。</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>地址不可用。</source>
        <translation>address not available</translation>
    </message>
    <message>
        <source>数据报太长。</source>
        <translation>datagram too long</translation>
    </message>
    <message>
        <source>网络不可达。</source>
        <translation>network unreachable</translation>
    </message>
    <message>
        <source>系统资源不足。</source>
        <translation>out of system resources (no buffer space)</translation>
    </message>
    <message>
        <source>操作超时。</source>
        <translation>timed out</translation>
    </message>
    <message>
        <source>本机没有可用的IPv4地址。</source>
        <translation>this computer has no IPv4 address that is up</translation>
    </message>
    <message>
        <source>本机的地址：%1</source>
        <translation>this computer&apos;s addresses: %1</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1 %2 超出范围（%3-65535）。</source>
        <translation>%1 %2 is out of range (%3-65535)</translation>
    </message>
    <message>
        <source>套接字已经绑定在 %1，须先关闭才能再次绑定。</source>
        <translation>the socket is already bound to %1 and must be closed before it is bound again</translation>
    </message>
    <message>
        <source>本机IP“%1”不是IPv4地址，无法绑定端口 %2。请填写本机的IPv4地址。%3</source>
        <translation>cannot bind port %2: the local address &quot;%1&quot; is not an IPv4 address. Enter one of this computer&apos;s addresses. %3</translation>
    </message>
    <message>
        <source>本机IP“%1”不是本机的地址，无法绑定端口 %2。请填写本机的IP地址。%3</source>
        <translation>cannot bind port %2: &quot;%1&quot; is not an address of this computer. Enter one of its addresses. %3</translation>
    </message>
    <message>
        <source>本机没有网卡或路由能到达 %1%2。本机的网卡：%3。</source>
        <translation>no card or route of this computer reaches %1%2; this computer&apos;s cards: %3</translation>
    </message>
    <message>
        <source>（另有 %1 个地址同样无法到达）</source>
        <translation> (and %1 more addresses that cannot be reached either)</translation>
    </message>
    <message>
        <source>套接字尚未绑定本机地址，不能发送。</source>
        <translation>cannot send: the socket is not bound to a local address</translation>
    </message>
    <message>
        <source>尚未设置读卡器地址（RemoteHost），不能发送。</source>
        <translation>cannot send: no reader address (RemoteHost) is set</translation>
    </message>
    <message>
        <source>读卡器地址“%1”不是IPv4地址。</source>
        <translation>the reader address &quot;%1&quot; is not an IPv4 address</translation>
    </message>
    <message>
        <source>读卡器地址 0.0.0.0 不能作为发送目标，请填写读卡器的IP地址。</source>
        <translation>cannot send to 0.0.0.0: give the reader&apos;s address</translation>
    </message>
    <message>
        <source>（未知的套接字错误）</source>
        <translation> (unknown socket error)</translation>
    </message>
    <message>
        <source>%1。%2</source>
        <translation>%1%2</translation>
    </message>
    <message>
        <source>%1：%2%3</source>
        <translation>%1: %2%3</translation>
    </message>
    <message>
        <source>无效参数！请确认读卡器IP填写是否正确！</source>
        <translation>Invalid argument. Check the reader IP.</translation>
    </message>
    <message>
        <source>地址正在使用！</source>
        <translation>Address in use.</translation>
    </message>
    <message>
        <source>连接由远程端重新设置！</source>
        <translation>Connection reset by the remote end.</translation>
    </message>
    <message>
        <source>所需事物或请求的错误协议或连接状态！</source>
        <translation>Wrong protocol or connection state for the request.</translation>
    </message>
    <message>
        <source>传递到一个函数的参数格式不正确或未传递到指定范围！端口范围“1-65535！”</source>
        <translation>An argument is badly formed or out of range. Ports run from 1 to 65535.</translation>
    </message>
    <message>
        <source>不允许的操作</source>
        <translation>operation not permitted</translation>
    </message>
    <message>
        <source>权限不够</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>无效的参数</source>
        <translation>invalid argument</translation>
    </message>
    <message>
        <source>资源暂时不可用</source>
        <translation>resource temporarily unavailable</translation>
    </message>
    <message>
        <source>无法分配内存</source>
        <translation>cannot allocate memory</translation>
    </message>
    <message>
        <source>错误的文件描述符</source>
        <translation>bad file descriptor</translation>
    </message>
    <message>
        <source>消息过长</source>
        <translation>message too long</translation>
    </message>
    <message>
        <source>地址已在使用</source>
        <translation>address already in use</translation>
    </message>
    <message>
        <source>无法指定被请求的地址</source>
        <translation>cannot assign requested address</translation>
    </message>
    <message>
        <source>网络已关闭</source>
        <translation>network is down</translation>
    </message>
    <message>
        <source>网络不可达</source>
        <translation>network is unreachable</translation>
    </message>
    <message>
        <source>没有可用的缓冲区空间</source>
        <translation>no buffer space available</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>connection timed out</translation>
    </message>
    <message>
        <source>拒绝连接</source>
        <translation>connection refused</translation>
    </message>
    <message>
        <source>主机关闭</source>
        <translation>host is down</translation>
    </message>
    <message>
        <source>没有到主机的路由</source>
        <translation>no route to host</translation>
    </message>
    <message>
        <source>系统错误 %1</source>
        <translation>system error %1</translation>
    </message>
    <message>
        <source>端口 %1 已被另一个程序独占，或者在系统保留的端口范围内（netsh interface ipv4 show excludedportrange protocol=udp）。</source>
        <translation>port %1 is held by another program for itself, or lies in a range the system reserves (netsh interface ipv4 show excludedportrange protocol=udp)</translation>
    </message>
    <message>
        <source>连接被对方重置</source>
        <translation>connection reset by peer</translation>
    </message>
</context>
<context>
    <name>vrx::TraceWords</name>
    <message>
        <source>，无法读取：按假定值</source>
        <translation>, not readable: assumed</translation>
    </message>
    <message>
        <source>节流：最多 %1 个地址同时等待 ARP（邻居表：上限 %2，已用 %3 项%4）；未应答的 ARP 占用其表项 %5 ms；需要 ARP 的查询等待 %6 ms</source>
        <translation>pacing: at most %1 addresses waiting for ARP at once (neighbour table: limit %2, %3 entries in use%4); an unanswered ARP holds its entry %5 ms; a query that needs ARP waits %6 ms</translation>
    </message>
    <message>
        <source>节流结果：内核丢弃 %1 次发送，%2 次发送被 ICMP 消息的错误打断，均已重发；%3 次等待发送缓冲区腾出空间；表项释放晚 %4 ms；发送缓冲区 %5 字节，每个等待 ARP 的查询占用 %6 字节；窗口 %7</source>
        <translation>pacing met: %1 sends dropped by the kernel and %2 interrupted by an ICMP message&apos;s error, all sent again; %3 waits for a full send buffer; entries freed %4 ms late; send buffer %5 bytes, %6 bytes per query waiting for ARP; window %7</translation>
    </message>
</context>
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
