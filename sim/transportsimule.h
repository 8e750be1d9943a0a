#pragma once

#include "link/transport.h"
#include "sim/banc.h"

#include <functional>

// The port of one station of a simulated bench, in the same process: what the program
// writes goes down the modelled line to the modelled interface, and reads take the
// answer bytes that have reached the program by the time of the clock given (in tests,
// the virtual clock of the platform).
class TransportSimule : public Transport {
public:
    TransportSimule(Banc& banc, int station, std::function<double()> horloge);

    void ecris(const QByteArray& octets) override;
    QByteArray lis(qint64 maximum) override;
    qint64 octetsEnAttente() const override;
    bool estOuvert() const override { return ouvert_ && !perdu(); }
    void ferme() override { ouvert_ = false; }
    bool perdu() const override;
    QString erreurPerte() const override;

    // Every byte the station has written, in order, for tests that check commands byte
    // for byte (the bench's journal shows a command without its terminator).
    const QByteArray& toutEcrit() const { return ecrit_; }

private:
    Banc& banc_;
    int station_;
    std::function<double()> horloge_;
    bool ouvert_ = true;
    QByteArray ecrit_;
};
