#include "sim/banc.h"

#include <limits>

namespace {
// The light history an interface keeps: longer than any recording and its download.
constexpr double memoireLumiere = 600.0;
} // namespace

Banc::Banc(const ReglagesBanc& reglages, Journal journal) {
    const int n = std::max(1, reglages.nombreInterfaces);
    for (int i = 0; i < n; ++i) {
        const Pannes pannes =
            i < static_cast<int>(reglages.pannes.size()) ? reglages.pannes[i] : Pannes{};
        chemins_.push_back(std::make_unique<CheminLumineux>(reglages.lumiere, pannes.lumiere, i));
        const CheminLumineux* chemin = chemins_.back().get();
        interfaces_.push_back(std::make_unique<InterfaceOrphy>(
            nomPort(i), reglages.interface, pannes,
            [chemin](double instant) { return chemin->lecture(instant); }, journal,
            reglages.lumiere.graine + 7919 * i));
    }
    for (int i = 0; i < n; ++i) {
        const int partenaire = i ^ 1;
        const int source = reglages.boucleLocale || partenaire >= n ? i : partenaire;
        chemins_[i]->setSource(interfaces_[source].get());
    }
}

void Banc::avanceJusqua(double instant) {
    for (;;) {
        InterfaceOrphy* prochaine = nullptr;
        double echeance = instant;
        for (auto& interface : interfaces_) {
            if (interface->prochainEvenement() <= echeance) {
                echeance = interface->prochainEvenement();
                prochaine = interface.get();
            }
        }
        if (prochaine == nullptr)
            break;
        prochaine->traiteEvenement();
    }
    for (auto& interface : interfaces_)
        interface->enregistreJusqua(instant);
    if (instant - oubli_ > memoireLumiere) {
        for (auto& interface : interfaces_)
            interface->oublieAvant(instant - memoireLumiere);
        oubli_ = instant;
    }
}

double Banc::prochainEvenement() const {
    double prochain = std::numeric_limits<double>::infinity();
    for (const auto& interface : interfaces_)
        prochain =
            std::min({prochain, interface->prochainEvenement(), interface->prochaineSortie()});
    return prochain;
}

void Banc::ecrit(int station, double instant, const QByteArray& octets) {
    avanceJusqua(instant);
    interfaces_.at(station)->ecrit(instant, octets);
}

QByteArray Banc::lit(int station, double instant, qint64 maximum) {
    avanceJusqua(instant);
    return interfaces_.at(station)->sortie(instant, maximum);
}

qint64 Banc::octetsEnChemin(int station, double instant) {
    avanceJusqua(instant);
    return interfaces_.at(station)->octetsEnChemin(instant);
}
