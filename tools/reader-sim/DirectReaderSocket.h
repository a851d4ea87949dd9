#pragma once

#include "ReaderSocket.h"

class QUdpSocket;

namespace vrx {

// A reader socket that binds its address itself: a QUdpSocket prepared as the engine's are.
class DirectReaderSocket final : public ReaderSocket {
    Q_OBJECT

public:
    explicit DirectReaderSocket(QObject *parent = nullptr);

    bool bind(const QHostAddress &address, quint16 port, QString *error) override;
    void abort() override;
    bool isBound() const override;
    bool hasPendingDatagrams() const override;
    QNetworkDatagram receiveDatagram() override;
    bool writeDatagram(const QNetworkDatagram &datagram) override;
    QString errorString() const override;

private:
    QUdpSocket *socket_;
};

} // namespace vrx
