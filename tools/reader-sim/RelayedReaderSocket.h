#pragma once

#include "ReaderSocket.h"

class QUdpSocket;

namespace vrx {

// A reader socket whose address a reader relay (ReaderRelay, `vrx-reader-sim --relay`) binds natively.
// It talks to the relay from a socket of its own on 127.0.0.1, which every system binds as asked; the
// relay passes on what arrives at the address with the peer attached, and sends the replies from there.
// bind() waits for the relay's answer, with a deadline.
class RelayedReaderSocket final : public ReaderSocket {
    Q_OBJECT

public:
    // relay: "address:port" of the relay.
    explicit RelayedReaderSocket(const QString &relay, QObject *parent = nullptr);
    ~RelayedReaderSocket() override;

    bool bind(const QHostAddress &address, quint16 port, QString *error) override;
    void abort() override;
    bool isBound() const override { return bound_; }
    bool hasPendingDatagrams() const override;
    QNetworkDatagram receiveDatagram() override;
    bool writeDatagram(const QNetworkDatagram &datagram) override;
    QString errorString() const override { return error_; }

private:
    bool fail(const QString &problem, QString *error);

    QString relayText_;
    QHostAddress relayAddress_;
    quint16 relayPort_ = 0;
    QUdpSocket *client_ = nullptr; // one per binding: its port names the binding to the relay
    bool bound_ = false;
    QString error_;
};

} // namespace vrx
