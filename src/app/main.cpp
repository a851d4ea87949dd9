#include "app/Form1.h"
#include "app/MessageBox.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vrx-config"));
    QApplication::setApplicationVersion(QStringLiteral(VRX_VERSION));

    vrx::ModalMessageBox messages;
    vrx::Form1 window(messages);
    return app.exec();
}
