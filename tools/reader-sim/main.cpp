// vrx-reader-sim: simulated VRX readers for trying the configuration tool without hardware.

#include "ReaderRelay.h"
#include "ReaderSimulator.h"
#include "RelayMessage.h"
#include "SimulatorOptions.h"
#include "StopSignals.h"

#include <QCoreApplication>
#include <QTextStream>

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

    if (!vrx::QuitOnStopSignals(app)) {
        err << "vrx-reader-sim: cannot catch the requests to stop" << Qt::endl;
        return 1;
    }

    if (!parsed.options.relay.isEmpty()) {
        const auto endpoint = vrx::ParseRelayEndpoint(parsed.options.relay);
        vrx::ReaderRelay relay;
        QObject::connect(&relay, &vrx::ReaderRelay::logLine, &relay,
                         [&err](const QString &line) { err << line << Qt::endl; });
        QString error;
        if (!relay.listen(endpoint->first, endpoint->second, &error)) {
            err << "vrx-reader-sim: " << error << Qt::endl;
            return 1;
        }
        // On stdout, the one line there: whoever started the relay may go on once it has read it.
        out << "relay listening on " << endpoint->first.toString() << ":" << relay.port() << Qt::endl;
        const int status = app.exec();
        err << "vrx-reader-sim: relay stopped" << Qt::endl;
        return status;
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
