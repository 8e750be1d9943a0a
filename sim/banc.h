#pragma once

#include "sim/cheminlumineux.h"
#include "sim/interfaceorphy.h"
#include "sim/journal.h"
#include "sim/reglages.h"

#include <memory>
#include <vector>

// The simulated bench: one interface per station, the lines to them and the light
// between them. Station i (0 for COM1) has its photodiode lit by the laser of its
// partner (1 for 0, 3 for 2, ...), by its own laser with the loop-back, or by its own
// when it has no partner. Events of all interfaces are handled in time order, so that
// what one station reads of the other's light is settled when it reads it.
class Banc {
public:
    explicit Banc(const ReglagesBanc& reglages, Journal journal = {});

    int nombreInterfaces() const { return static_cast<int>(interfaces_.size()); }
    InterfaceOrphy& interface(int station) { return *interfaces_.at(station); }
    const CheminLumineux& chemin(int station) const { return *chemins_.at(station); }
    CheminLumineux& chemin(int station) { return *chemins_.at(station); }
    static QString nomPort(int station) { return QStringLiteral("COM%1").arg(station + 1); }

    // Handles every event of every interface up to `instant`, in time order.
    void avanceJusqua(double instant);
    // When the next event of any interface happens, or the next answer byte reaches
    // a program; infinity when nothing waits.
    double prochainEvenement() const;

    // What the program of a station does with its port, at `instant`.
    void ecrit(int station, double instant, const QByteArray& octets);
    QByteArray lit(int station, double instant, qint64 maximum = 0);
    qint64 octetsEnChemin(int station, double instant);

private:
    std::vector<std::unique_ptr<CheminLumineux>> chemins_;
    std::vector<std::unique_ptr<InterfaceOrphy>> interfaces_;
    double oubli_ = 0;
};
