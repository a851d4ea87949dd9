#include "DirectReaderSocket.h"

#include "link/DatagramSystem.h"

#include <QUdpSocket>

namespace vrx {

DirectReaderSocket::DirectReaderSocket(QObject *parent)
    : ReaderSocket(parent)
    , socket_(new QUdpSocket(this)) {
    connect(socket_, &QUdpSocket::readyRead, this, &ReaderSocket::readyRead);
}

bool DirectReaderSocket::bind(const QHostAddress &address, quint16 port, QString *error) {
    if (!socket_->bind(address, port, QAbstractSocket::DontShareAddress)) {
        if (error)
            *error = socket_->errorString();
        socket_->abort();
        return false;
    }
    DatagramSystem::PrepareSocket(socket_->socketDescriptor());
    return true;
}

void DirectReaderSocket::abort() {
    socket_->abort();
}

bool DirectReaderSocket::isBound() const {
    return socket_->state() == QAbstractSocket::BoundState;
}

bool DirectReaderSocket::hasPendingDatagrams() const {
    return socket_->hasPendingDatagrams();
}

QNetworkDatagram DirectReaderSocket::receiveDatagram() {
    return socket_->receiveDatagram();
}

bool DirectReaderSocket::writeDatagram(const QNetworkDatagram &datagram) {
    return isBound() && socket_->writeDatagram(datagram) == datagram.data().size();
}

QString DirectReaderSocket::errorString() const {
    return socket_->errorString();
}

} // namespace vrx
