#include "Vrxctl.h"

#include <QCoreApplication>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vrxctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VRX_VERSION));
    return vrxctl::RunVrxctl(QCoreApplication::arguments().mid(1), vrxctl::Console::standard());
}
