#pragma once

#include "link/transport.h"

#include <functional>
#include <vector>

// A transport held in memory, for tests: it keeps every write with the clock reading at
// which it was made, lets the test (or a stand-in for the interface) put reply bytes
// into the input, and paces its output like a 9600-baud line (one byte each 1/960 s),
// so that `octetsEnAttente` tells what a real port would still hold.
class TransportMemoire : public Transport {
public:
    struct Ecriture {
        double instant;
        QByteArray octets;
    };

    static constexpr double dureeOctet = 1.0 / 960.0;

    explicit TransportMemoire(std::function<double()> horloge);

    void ecris(const QByteArray& octets) override;
    QByteArray lis(qint64 maximum) override;
    qint64 octetsEnAttente() const override;
    bool estOuvert() const override { return ouvert_; }
    void ferme() override { ouvert_ = false; }
    bool perdu() const override { return !erreurPerte_.isEmpty(); }
    QString erreurPerte() const override { return erreurPerte_; }

    // The device goes away, as when its cable is pulled.
    void perds(const QString& raison) {
        erreurPerte_ = raison;
        ouvert_ = false;
    }

    // Bytes that have arrived from the interface.
    void recoit(const QByteArray& octets) { entree_.append(octets); }
    // Called on every write, after it has been recorded (a stand-in for the interface).
    void setRepondeur(std::function<void(const QByteArray&)> repondeur) {
        repondeur_ = std::move(repondeur);
    }

    const std::vector<Ecriture>& ecritures() const { return ecritures_; }
    QByteArray toutEcrit() const;
    void effaceEcritures() { ecritures_.clear(); }

private:
    std::function<double()> horloge_;
    std::function<void(const QByteArray&)> repondeur_;
    std::vector<Ecriture> ecritures_;
    QByteArray entree_;
    double finEmission_ = 0; // when the last byte written leaves the line
    bool ouvert_ = true;
    QString erreurPerte_;
};
