// vrx-reader-sim: simulated VRX readers for trying the configuration tool without hardware.

#include "ReaderSimulator.h"
#include "SimulatorOptions.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: the event loop picks the byte up and quits.
void OnStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

bool QuitOnStopSignals(QCoreApplication &app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return false;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] { app.quit(); });
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    const vrx::ParsedSimulatorOptions parsed = vrx::ParseSimulatorOptions(app.arguments());
    switch (parsed.action) {
    case vrx::ParsedSimulatorOptions::ShowHelp:
    case vrx::ParsedSimulatorOptions::ShowVersion:
        out << parsed.text << Qt::endl;
        return 0;
    case vrx::ParsedSimulatorOptions::Fail:
        err << "vrx-reader-sim: " << parsed.text << Qt::endl << "Try --help." << Qt::endl;
        return 2;
    case vrx::ParsedSimulatorOptions::Run:
        break;
    }

    if (!QuitOnStopSignals(app)) {
        err << "vrx-reader-sim: cannot install the SIGINT/SIGTERM handlers" << Qt::endl;
        return 1;
    }

    vrx::ReaderSimulator simulator;
    simulator.setAllowNonLoopback(parsed.options.allowNonLoopback);
    simulator.setLogStream(&err);
    simulator.setRestartDelay(parsed.options.restartDelayMs);
    if (!parsed.options.card.isEmpty()) {
        QString error;
        const vrx::SimulatedReader *reader = simulator.addReaderOnCard(parsed.options.card, &error);
        if (!reader) {
            err << "vrx-reader-sim: " << error << Qt::endl;
            return 1;
        }
        const vrx::ReaderSettings &settings = reader->settings();
        err << "reader listening on " << reader->address() << ":" << vrx::SimulatedReader::Port
            << " as a device on " << reader->card() << " (any-address; mask "
            << vrx::DottedText(settings.subnetMask) << ", gateway "
            << vrx::DottedText(settings.defaultGateway) << ", MAC " << vrx::MacText(settings.readerMac) << ")"
            << Qt::endl;
    }
    for (const QString &address : parsed.options.addresses) {
        QString error;
        vrx::SimulatedReader *reader = simulator.addReader(address, &error);
        if (!reader) {
            err << "vrx-reader-sim: " << error << Qt::endl;
            return 1;
        }
        err << "reader listening on " << address << ":" << vrx::SimulatedReader::Port << Qt::endl;
    }
    QString error;
    if (!simulator.setFaults(parsed.options.faults, &error)) {
        err << "vrx-reader-sim: " << error << Qt::endl;
        return 1;
    }

    const int status = app.exec();
    err << "vrx-reader-sim: stopped" << Qt::endl;
    return status;
}
