// Takes docs/traffic-log.png: the real window reads a simulated reader on loopback and downloads keys
// into it, then the "通信记录" window is drawn into the picture with its keys masked.
// Usage: shot_trafficlog <picture.png>   (docs/traffic-log.sh runs it on a virtual display)
#include "MessageRecorder.h"
#include "SimulatedReader.h"
#include "app/Form1.h"
#include "app/TrafficLogWindow.h"

#include <QApplication>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: shot_trafficlog <picture.png>\n");
        return 2;
    }
    const QString computer = QStringLiteral("127.0.114.1");
    const QString readerAddress = QStringLiteral("127.0.114.101");
    vrx::SimulatedReader reader(readerAddress);
    QString error;
    if (!reader.start(&error)) {
        std::fprintf(stderr, "simulated reader: %s\n", qPrintable(error));
        return 1;
    }

    MessageRecorder messages;
    vrx::Form1 form(messages);
    form.TextPCIP->setText(computer);
    form.TextFindIP[0]->setText(readerAddress);
    for (vrx::FieldEdit *key : form.TextPass)
        key->setText(QStringLiteral("A0A1A2A3A4A5"));
    form.ShowTrafficLog();
    auto *log = form.findChild<vrx::TrafficLogWindow *>();
    log->resize(1000, 260);
    // Both windows drawn once before the exchanges, so that the times show the exchanges alone.
    if (!QTest::qWaitForWindowExposed(&form) || !QTest::qWaitForWindowExposed(log)) {
        std::fprintf(stderr, "the windows were not shown\n");
        return 1;
    }

    QTest::mouseClick(form.Command1, Qt::LeftButton);
    QTest::mouseClick(form.Command5, Qt::LeftButton);
    const QStringList expected = {QStringLiteral("获取设备参数成功！"), QStringLiteral("下载密码成功！")};
    if (messages.shown != expected) {
        std::fprintf(stderr, "the operations reported: %s\n", qPrintable(messages.shown.join(u' ')));
        return 1;
    }
    if (!QTest::qWaitFor([&] { return log->Table->model()->rowCount() == 4; }, 2000)) {
        std::fprintf(stderr, "the log did not show four rows\n");
        return 1;
    }
    if (!log->grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
