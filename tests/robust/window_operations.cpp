// Runs the window offscreen as whoever starts it: binds the computer address given, clicks read,
// configure and key download in turn against the reader address given, and writes every box each
// operation showed to stdout as JSON ({"read": [...], "configure": [...], "keys": [...]}).
// The socket fault tests start it as an unprivileged user.

#include "Operations.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

class Recorder final : public vrx::MessageBox {
public:
    void Show(const QString &text) override { shown << text; }
    QStringList shown;
};

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s COMPUTER-ADDRESS READER-ADDRESS\n", argv[0]);
        return 2;
    }
    Recorder messages;
    vrx::Form1 form(messages);
    form.TextPCIP->setText(QString::fromLocal8Bit(argv[1]));
    form.TextFindIP[0]->setText(QString::fromLocal8Bit(argv[2]));

    QJsonObject shown;
    for (Operation operation : {Operation::Read, Operation::Configure, Operation::Keys}) {
        messages.shown.clear();
        Click(form, operation);
        shown.insert(QLatin1String(OperationName(operation)), QJsonArray::fromStringList(messages.shown));
    }
    std::fputs(QJsonDocument(shown).toJson(QJsonDocument::Compact).constData(), stdout);
    return 0;
}
