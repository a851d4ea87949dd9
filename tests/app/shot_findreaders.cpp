// Takes docs/find-readers.png: the "查找读卡器" dialog of the real window after a scan of simulated
// readers on loopback (127.0.83.x): one of each protocol, two that share a MAC, sorted by 读卡器IP
// descending, three rows chosen and configured with 批量配置, their results in the last column.
// Usage: shot_findreaders <picture.png> [en]   (docs/find-readers.sh and docs/find-readers-en.sh run it on
// a virtual display; "en" draws the window in English)
#include "FindReadersDriver.h"
#include "app/WindowLanguage.h"

#include <QApplication>
#include <QItemSelectionModel>

#include <cstdio>
#include <string_view>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    if (argc != 2 && !(argc == 3 && argv[2] == std::string_view("en"))) {
        std::fprintf(stderr, "usage: shot_findreaders <picture.png> [en]\n");
        return 2;
    }
    if (argc == 3)
        vrx::UseLanguage(vrx::Language::English);
    FindReadersDriver w(QStringLiteral("127.0.83.1"));
    const vrx::MacBytes shared{0x00, 0x14, 0x7F, 0x00, 0x53, 0x6E};
    const struct {
        const char *address;
        quint8 protocol;
        bool sharesMac;
    } readers[] = {
        {"127.0.83.21", vrx::Protocol::Udp, false},        {"127.0.83.57", vrx::Protocol::TcpServer, false},
        {"127.0.83.110", vrx::Protocol::TcpClient, false}, {"127.0.83.164", vrx::Protocol::Udp, true},
        {"127.0.83.203", vrx::Protocol::Udp, false},
    };
    QString error;
    for (const auto &reader : readers) {
        const bool added = w.addReader(
            QLatin1String(reader.address),
            [&](vrx::ReaderSettings &settings) {
                settings.readerProtocol = reader.protocol;
                if (reader.sharesMac)
                    settings.readerMac = shared;
            },
            &error);
        if (!added) {
            std::fprintf(stderr, "simulated reader: %s\n", qPrintable(error));
            return 1;
        }
    }
    vrx::FindReaders &find = w.dialog();
    if (!QTest::qWaitForWindowExposed(&find)) {
        std::fprintf(stderr, "the dialog was not shown\n");
        return 1;
    }
    w.startScan(QStringLiteral("127.0.83.1-254"));
    if (!w.waitUntilDone() || find.TableReaders->rowCount() != 5 || !w.messages.shown.isEmpty()) {
        std::fprintf(stderr, "the scan listed %d rows: %s\n", int(find.TableReaders->rowCount()),
                     qPrintable(w.messages.shown.join(u' ')));
        return 1;
    }
    find.SortBy(vrx::ReaderIpColumn, Qt::DescendingOrder);
    find.TableReaders->selectRow(0);
    for (int row : {2, 3})
        find.TableReaders->selectionModel()->select(find.TableReaders->model()->index(row, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w.form->Text1[3]->setText(QStringLiteral("127.0.83.1"));
    find.CommandBatchConfigure->click();
    if (!QTest::qWaitFor([&] { return !find.Busy(); }, 30000) || !w.messages.shown.isEmpty()) {
        std::fprintf(stderr, "the batch did not end: %s\n", qPrintable(w.messages.shown.join(u' ')));
        return 1;
    }
    // Wide enough for every column, the result column included.
    int tableWidth = 0;
    for (int column = 0; column < vrx::FoundColumnCount; ++column)
        tableWidth += find.TableReaders->columnWidth(column);
    find.resize(tableWidth + 40, 400);
    QTest::qWait(100); // one paint of the selection
    if (!find.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
