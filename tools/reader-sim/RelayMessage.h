#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <optional>

namespace vrx {

// The datagrams between a reader relay (ReaderRelay) and a relayed reader socket
// (RelayedReaderSocket), both on 127.0.0.1. Each relayed socket talks from a client socket of its own,
// so the client's address and port name the binding: no message carries an id.
//
//   client -> relay  Bind    address, port, owner bind address:port natively for this client; owner
//                                                 tells the client's program from others
//   relay -> client  Bound   port                 done (the port the system gave, for port 0)
//   relay -> client  Refused text                 the bind failed, and why
//   relay -> client  Arrived peer, port, local, payload   a datagram came to the native socket
//   client -> relay  Send    peer, port, from, payload    send it from the native socket (from: a
//                                                         source address, or null for the bound one)
//   client -> relay  Close                        let the native socket go
struct RelayMessage {
    enum Kind : char {
        Bind = 'B',
        Bound = 'K',
        Refused = 'R',
        Arrived = 'A',
        Send = 'S',
        Close = 'C',
    } kind = Close;
    QHostAddress address; // Bind: to bind; Arrived, Send: the peer
    quint16 port = 0;     // Bind: to bind; Bound: bound; Arrived, Send: the peer's
    QHostAddress local;   // Arrived: where it came to; Send: the source address, or null
    QByteArray payload;   // Arrived, Send: the datagram; Refused: the reason in UTF-8
    quint64 owner = 0;    // Bind: the same number from every client of one program

    QByteArray encode() const;
    // Nothing for a datagram that is no message (too short, unknown kind).
    static std::optional<RelayMessage> Decode(const QByteArray &datagram);
};

// The relay's address and port from its text ("127.0.0.1:47011"; port 0 for a relay to listen on any
// free one); nothing when the text is none.
std::optional<std::pair<QHostAddress, quint16>> ParseRelayEndpoint(const QString &text);

} // namespace vrx
