#pragma once

#include <QHash>
#include <QHostAddress>
#include <QObject>

class QUdpSocket;

namespace vrx {

struct RelayMessage;

// Binds loopback addresses natively for simulated readers that run where they cannot bind them
// (RelayedReaderSocket; under wine every loopback address but 127.0.0.1 becomes the any-address). It
// listens on one address and port for its clients (RelayMessage), binds what a client asks for, passes
// on every datagram that arrives there with the peer attached, and sends the client's replies from there,
// in the order they come. A bind of an address and port that another program's client holds takes them
// over, so that a program that ended without letting go does not keep the next one out; the same
// program's is refused, as the system would.
class ReaderRelay : public QObject {
    Q_OBJECT

public:
    explicit ReaderRelay(QObject *parent = nullptr);

    // Listens for clients on address:port (a loopback address); false with a description when it cannot.
    bool listen(const QHostAddress &address, quint16 port, QString *error = nullptr);
    // The port it listens on (the one the system gave, when asked for port 0).
    quint16 port() const;

signals:
    // One line per bind, take-over, refusal and release; never one per datagram.
    void logLine(const QString &line);

private:
    struct Client {
        QHostAddress address;
        quint16 port = 0;
    };

    void takeRequests();
    struct Binding {
        QUdpSocket *native = nullptr;
        quint64 owner = 0;
    };

    void bindFor(const Client &client, const RelayMessage &request);
    void pass(QUdpSocket *native, const Client &client);
    void release(quint64 client, const QString &why);
    void answer(const Client &client, const QByteArray &message);

    static quint64 KeyOf(const QHostAddress &address, quint16 port);

    QUdpSocket *control_;
    QHash<quint64, Binding> bindings_; // by client
};

} // namespace vrx
