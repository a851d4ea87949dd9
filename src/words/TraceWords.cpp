#include "words/TraceWords.h"

#include <QCoreApplication>

namespace vrx {

QString PacingPlannedText(const ScanPacingReport &report) {
    const QString assumed =
        report.tableRead ? QString() : QCoreApplication::translate("vrx::TraceWords", "，无法读取：按假定值");
    return QCoreApplication::translate("vrx::TraceWords",
                                       "节流：最多 %1 个地址同时等待 ARP（邻居表：上限 %2，已用 %3 项%4）；"
                                       "未应答的 ARP 占用其表项 %5 ms；需要 ARP 的查询等待 %6 ms")
        .arg(report.window)
        .arg(report.tableLimit)
        .arg(report.tableInUse)
        .arg(assumed)
        .arg(report.lifetimeMs)
        .arg(report.onLinkWaitMs);
}

QString PacingMetText(const ScanPacingReport &report) {
    return QCoreApplication::translate(
               "vrx::TraceWords", "节流结果：内核丢弃 %1 次发送，%2 次发送被 ICMP 消息的错误打断，均已重发；"
                                  "%3 次等待发送缓冲区腾出空间；表项释放晚 %4 ms；发送缓冲区 %5 字节，"
                                  "每个等待 ARP 的查询占用 %6 字节；窗口 %7")
        .arg(report.tableRefusals)
        .arg(report.interruptions)
        .arg(report.bufferWaits)
        .arg(report.latenessMs)
        .arg(report.sendBufferBytes)
        .arg(report.bytesPerQuery)
        .arg(report.window);
}

} // namespace vrx
