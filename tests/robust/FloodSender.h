#pragma once

#include "FloodGate.h"

#include <QByteArray>
#include <QHostAddress>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <random>
#include <thread>

// Makes the next datagram of a flood.
using DatagramMaker = std::function<QByteArray(std::mt19937 &random)>;

// One sender of a flood: a UDP socket bound to its own address and port that sends a fixed number of
// datagrams to one target from a thread of its own, one every `pace` while the gate is open.
class FloodSender {
public:
    struct Plan {
        QHostAddress from;
        quint16 fromPort = 0; // 0: any free port
        int quota = 0;
        std::chrono::microseconds pace{1000};
        quint32 seed = 1;
        DatagramMaker next;
    };

    FloodSender(FloodGate &gate, QHostAddress target, quint16 targetPort, Plan plan);
    // Stops the gate (every sender of it) and joins the thread.
    ~FloodSender();
    FloodSender(const FloodSender &) = delete;
    FloodSender &operator=(const FloodSender &) = delete;

    // Binds the sending socket and starts the thread; false with a description when it cannot bind.
    bool start(QString *error);

    // Dotted text of the address the datagrams come from.
    QString senderText() const { return plan_.from.toString(); }
    quint64 sent() const { return sent_.load(); }
    quint64 failedSends() const { return failed_.load(); }
    // How many of those sent were 41 bytes long, and how many 200 or more.
    quint64 sentParameterLength() const { return parameterLength_.load(); }
    quint64 sentKeyLength() const { return keyLength_.load(); }
    bool finished() const { return finished_.load(); }
    // From now on sends the rest of its quota back to back, as fast as the gate lets it.
    void unpace() { unpaced_ = true; }

private:
    void run();

    FloodGate &gate_;
    QHostAddress target_;
    quint16 targetPort_;
    Plan plan_;
    int fd_ = -1;
    std::thread thread_;
    std::atomic<quint64> sent_{0};
    std::atomic<quint64> failed_{0};
    std::atomic<quint64> parameterLength_{0};
    std::atomic<quint64> keyLength_{0};
    std::atomic<bool> finished_{false};
    std::atomic<bool> unpaced_{false};
};
