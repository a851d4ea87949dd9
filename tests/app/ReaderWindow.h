#pragma once

// A real window on loopback beside an in-process simulated reader, for the operation tests: the
// computer-address field holds `computer`, the reader-address field `reader`, where the reader listens
// on port 1001. Each test executable uses an address pair of its own, so they can run in parallel.
#include "MessageRecorder.h"
#include "SimulatedReader.h"
#include "app/Form1.h"

#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QUdpSocket>

#include <memory>

class ReaderWindow {
public:
    ReaderWindow(const QString &computer, const QString &reader)
        : computer(computer)
        , readerAddress(reader) {}
    ~ReaderWindow() { delete form.data(); }

    // Starts the reader and builds the window; false (with a reason) when the reader cannot bind.
    bool start(QString *error) {
        reader = std::make_unique<vrx::SimulatedReader>(readerAddress);
        if (!reader->start(error))
            return false;
        form = new vrx::Form1(messages);
        form->TextPCIP->setText(computer);
        form->TextFindIP[0]->setText(readerAddress);
        messages.shown.clear();
        return true;
    }

    // The frames the reader received from the window's port 1000 before a probe datagram sent now.
    // Loopback delivers in order, so a frame the window sent earlier cannot arrive after the probe;
    // this makes "nothing was sent" a real check instead of a glance at the record.
    QList<QByteArray> framesBeforeProbe() {
        QUdpSocket probe;
        if (!probe.bind(QHostAddress(computer), 0))
            return {QByteArrayLiteral("probe cannot bind")};
        const QByteArray marker = QByteArrayLiteral("probe");
        probe.writeDatagram(marker, QHostAddress(readerAddress), vrx::SimulatedReader::Port);
        const auto probeArrived = [&] {
            for (const vrx::WireRecord &record : reader->received())
                if (record.bytes == marker)
                    return true;
            return false;
        };
        if (!QTest::qWaitFor(probeArrived, 2000))
            return {QByteArrayLiteral("probe never arrived")};
        QList<QByteArray> frames;
        for (const vrx::WireRecord &record : reader->received()) {
            if (record.bytes == marker)
                break;
            frames << record.bytes;
        }
        return frames;
    }

    // Frames the reader has received so far, with the computer's address and port checked.
    QList<QByteArray> framesFromWindow() const {
        QList<QByteArray> frames;
        for (const vrx::WireRecord &record : reader->received()) {
            if (record.peer == computer && record.peerPort == 1000)
                frames << record.bytes;
        }
        return frames;
    }

    bool buttonsEnabled() const {
        return form->Command1->isEnabled() && form->Command3->isEnabled() && form->Command5->isEnabled();
    }

    // A socket that holds the computer's port 1000, as another program would.
    std::unique_ptr<QUdpSocket> takePort1000() {
        auto holder = std::make_unique<QUdpSocket>();
        if (!holder->bind(QHostAddress(computer), 1000, QAbstractSocket::DontShareAddress))
            return nullptr;
        return holder;
    }

    const QString computer;
    const QString readerAddress;
    MessageRecorder messages;
    std::unique_ptr<vrx::SimulatedReader> reader;
    QPointer<vrx::Form1> form;
};

// The fault column shared by the failure tables: Faults().silence(), Faults().length(40), ...
struct Faults {
    bool silent = false;
    int replyLength = -1;
    QString replyFrom;
    bool corruptEcho = false;
    int delayMs = 0;

    Faults silence() const {
        Faults f = *this;
        f.silent = true;
        return f;
    }
    Faults length(int bytes) const {
        Faults f = *this;
        f.replyLength = bytes;
        return f;
    }
    Faults from(const QString &address) const {
        Faults f = *this;
        f.replyFrom = address;
        return f;
    }
    Faults corrupt() const {
        Faults f = *this;
        f.corruptEcho = true;
        return f;
    }
    Faults delay(int ms) const {
        Faults f = *this;
        f.delayMs = ms;
        return f;
    }
};

inline bool ApplyFaults(vrx::SimulatedReader &reader, const Faults &faults, QString *error) {
    reader.setSilent(faults.silent);
    reader.setReplyLength(faults.replyLength);
    reader.setCorruptEcho(faults.corruptEcho);
    reader.setDelay(faults.delayMs);
    return reader.setReplyFrom(faults.replyFrom, error);
}

Q_DECLARE_METATYPE(Faults)
