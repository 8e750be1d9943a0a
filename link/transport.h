#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

// The byte stream to the interface: a real serial port, or memory in tests.
class Transport {
public:
    virtual ~Transport() = default;

    // Queues the bytes for the line and starts sending them; never waits.
    virtual void ecris(const QByteArray& octets) = 0;
    // Takes what has arrived: everything when `maximum` is 0, else at most that many
    // bytes. Never waits; empty when nothing has arrived.
    virtual QByteArray lis(qint64 maximum) = 0;
    // Bytes written that have not yet left on the line.
    virtual qint64 octetsEnAttente() const = 0;
    virtual bool estOuvert() const = 0;
    // Waits, without letting any event run, until what was written has left on the line,
    // `delai` seconds at most.
    virtual void vide(double delai) { Q_UNUSED(delai); }
    virtual void ferme() = 0;
    // True once the device has gone away (cable pulled, interface switched off); the
    // transport is then closed, and erreurPerte() says what happened, in French.
    virtual bool perdu() const { return false; }
    // While on, each byte that arrives wakes the event loop, so that a loop reading the
    // input character by character (a download) sees it at once. Off by default: the
    // program then takes its input when it asks for it, and arrivals wake nothing.
    virtual void reveilSurEntree(bool actif) { Q_UNUSED(actif); }
    virtual QString erreurPerte() const { return {}; }
    // The device behind the transport, for messages ("/dev/ttyUSB0"); empty when none.
    virtual QString peripherique() const { return {}; }
    // The system's descriptor of the open port, for the laser-off command written when the
    // program ends abnormally; -1 when there is none.
    virtual int descripteur() const { return -1; }
};

// What opening a COM port gives: a transport, or the French text of the failure.
struct OuverturePort {
    std::unique_ptr<Transport> transport;
    QString erreur;
    // Opens the same device again once it has gone (an adapter unplugged, then plugged back
    // under another number): never another device that the COM number leads to meanwhile.
    // Empty when the opening cannot tell, and the number is looked up again.
    std::function<OuverturePort()> rouvre = {};
    // The device that `rouvre` waits for, for messages (an adapter's stable name, the entry
    // of the ports directory); empty when unknown.
    QString attendu = {};
};

using FabriqueTransport = std::function<OuverturePort(int numport)>;
