#include "StandardLan.h"

namespace vrx::lan::standard {

void Describe(EmulatedLan &lan, const QHash<QString, QStringList> &readerOptions) {
    lan.addLan(A, QStringLiteral("198.18.16.0/20"));
    lan.addLan(B, QStringLiteral("198.18.32.0/24"));
    lan.addLan(C, QStringLiteral("198.18.48.0/24"));
    lan.addComputerCard(A, QStringLiteral("198.18.16.2"));
    lan.addComputerCard(B, QStringLiteral("198.18.32.2"));
    lan.addRouter(Router, B, QStringLiteral("198.18.32.1"), C, QStringLiteral("198.18.48.1"));

    const QHash<QString, QStringList> readers{
        {A,
         {QStringLiteral("198.18.16.3"), QStringLiteral("198.18.16.200"), QStringLiteral("198.18.17.33"),
          QStringLiteral("198.18.19.7"), QStringLiteral("198.18.22.129"), QStringLiteral("198.18.26.64"),
          QStringLiteral("198.18.29.250"), QStringLiteral("198.18.31.254")}},
        {B,
         {QStringLiteral("198.18.32.11"), QStringLiteral("198.18.32.57"), QStringLiteral("198.18.32.203")}},
        {C,
         {QStringLiteral("198.18.48.12"), QStringLiteral("198.18.48.99"), QStringLiteral("198.18.48.254")}},
    };
    for (const QString &name : {A, B, C}) {
        for (const QString &address : readers[name])
            lan.addReader(name, address, readerOptions.value(address));
    }
    lan.addHost(A, QStringLiteral("198.18.20.20"));
}

} // namespace vrx::lan::standard
