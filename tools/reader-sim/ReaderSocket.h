#pragma once

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QObject>
#include <QString>

namespace vrx {

// The UDP socket a simulated reader listens and answers on. DirectReaderSocket binds the address itself;
// RelayedReaderSocket asks a reader relay running natively to bind it, for a reader inside a program that
// cannot bind its loopback address of its own (under wine every loopback address but 127.0.0.1 becomes
// the any-address).
class ReaderSocket : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The environment variable that names the relay ("127.0.0.1:47011") a reader socket goes through.
    static constexpr const char *RelayVariable = "VRX_READER_RELAY";
    // A relayed socket when the environment names a relay, a direct one otherwise.
    static ReaderSocket *Make(QObject *parent);

    // Binds address:port (port 0: any free one) without sharing it; on failure false with a description.
    virtual bool bind(const QHostAddress &address, quint16 port, QString *error) = 0;
    // Lets the address go at once.
    virtual void abort() = 0;
    virtual bool isBound() const = 0;
    virtual bool hasPendingDatagrams() const = 0;
    // The next datagram, with the peer as sender and the address it came to as destination; an invalid
    // one when none waits.
    virtual QNetworkDatagram receiveDatagram() = 0;
    // Sends to the datagram's destination, from its sender address when one is set; true when sent whole.
    virtual bool writeDatagram(const QNetworkDatagram &datagram) = 0;
    virtual QString errorString() const = 0;

signals:
    // Datagrams wait: take them with receiveDatagram().
    void readyRead();
};

} // namespace vrx
