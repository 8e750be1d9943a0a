#include "sim/cheminlumineux.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

namespace {

std::uint64_t melange(std::uint64_t x) {
    // splitmix64
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

double uniforme(std::uint64_t x) {
    return (static_cast<double>(x >> 11) + 0.5) / 9007199254740992.0; // in (0, 1)
}

// A key that depends only on the seed, the station and the instant.
std::uint64_t cle(std::uint64_t graine, int station, double instant) {
    const auto nanosecondes = static_cast<std::uint64_t>(std::llround(instant * 1e9));
    return melange(graine ^ melange(nanosecondes ^ (std::uint64_t(station) << 56)));
}

// The slips, stalls and glitches draw from seeds of their own, so that the noise of a run
// stays the same whether its light slips or not.
constexpr std::uint64_t graineGlissement = 0x676c6973736552ULL;
constexpr std::uint64_t graineArrets = 0x617272657473ULL;
constexpr std::uint64_t graineParasites = 0x70617261736974ULL;

} // namespace

double bruitGaussien(std::uint64_t graine, int station, double instant) {
    const std::uint64_t c = cle(graine, station, instant);
    const double u1 = uniforme(c);
    const double u2 = uniforme(melange(c));
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

CheminLumineux::CheminLumineux(ReglagesLumiere reglages, Pannes::Lumiere panne, int numeroStation)
    : reglages_(reglages), panne_(panne), salle_(reglages.niveauObscur),
      laser_(reglages.niveauEclaire - reglages.niveauObscur), bruit_(reglages.bruit),
      scintillement_(reglages.scintillement), numeroStation_(numeroStation) {}

const std::vector<InterfaceOrphy::Transition>& CheminLumineux::transitionsVues() const {
    const auto& source = source_->transitionsSB0();
    const double sigma = reglages_.glissement;
    if (sigma <= 0 && reglages_.proportionArrets <= 0)
        return source;
    // The source forgets its oldest changes: so does this copy.
    std::size_t oublies = 0;
    while (oublies < instantsSource_.size() &&
           (source.empty() || instantsSource_[oublies] < source.front().instant))
        ++oublies;
    vues_.erase(vues_.begin(), vues_.begin() + std::ptrdiff_t(oublies));
    instantsSource_.erase(instantsSource_.begin(),
                          instantsSource_.begin() + std::ptrdiff_t(oublies));
    auto nouvelle = source.begin();
    if (!instantsSource_.empty())
        nouvelle = std::upper_bound(
            source.begin(), source.end(), instantsSource_.back(),
            [](double t, const InterfaceOrphy::Transition& tr) { return t < tr.instant; });
    for (; nouvelle != source.end(); ++nouvelle) {
        const double t = nouvelle->instant;
        // A change cannot reach the photodiode before it is keyed: every one comes 4 sigma
        // late on average, a delay common to all that no duration notices, and never early.
        double retard = std::max(
            0.0,
            sigma * (4 + bruitGaussien(reglages_.graine ^ graineGlissement, numeroStation_, t)));
        if (uniforme(cle(reglages_.graine ^ graineArrets, numeroStation_, t)) <
            reglages_.proportionArrets)
            retard += reglages_.dureeArret;
        // The changes keep their order: one moved past the next comes with it.
        const double vu = std::max(t + retard, vues_.empty() ? t + retard : vues_.back().instant);
        vues_.push_back({vu, nouvelle->allume});
        instantsSource_.push_back(t);
    }
    return vues_;
}

const std::vector<double>& CheminLumineux::instantsParasites() const {
    if (parasitesPlaces_ || reglages_.parasites <= 0)
        return parasites_;
    const auto& vues = transitionsVues();
    const auto allumage = std::find_if(
        vues.begin(), vues.end(), [](const InterfaceOrphy::Transition& t) { return t.allume; });
    if (allumage == vues.end())
        return parasites_;
    parasitesPlaces_ = true;
    const double debut = allumage->instant + reglages_.debutParasites;
    const double etendue = reglages_.finParasites - reglages_.debutParasites;
    if (etendue <= 0)
        return parasites_;
    // Drawn one after the other; one too close to another is drawn again.
    for (std::uint64_t tirage = 0; int(parasites_.size()) < reglages_.parasites && tirage < 10000;
         ++tirage) {
        const double t =
            debut +
            etendue * uniforme(melange(reglages_.graine ^ graineParasites ^
                                       melange(tirage ^ (std::uint64_t(numeroStation_) << 48))));
        if (std::none_of(parasites_.begin(), parasites_.end(), [&](double autre) {
                return std::abs(autre - t) < reglages_.ecartParasites;
            }))
            parasites_.push_back(t);
    }
    std::sort(parasites_.begin(), parasites_.end());
    return parasites_;
}

const std::vector<InterfaceOrphy::Transition>& CheminLumineux::transitionsLumiere() const {
    const auto& vues = transitionsVues();
    const std::vector<double>& parasites = instantsParasites();
    if (parasites.empty())
        return vues;
    if (vues.size() == vuesConnues_ && !vues.empty() && vues.back().instant == derniereVue_ &&
        vues.front().instant == premiereVue_)
        return avecParasites_;
    vuesConnues_ = vues.size();
    derniereVue_ = vues.empty() ? 0 : vues.back().instant;
    premiereVue_ = vues.empty() ? 0 : vues.front().instant;
    // During a glitch the light is the other one than at its start, whatever the laser does;
    // after it, the laser's again.
    avecParasites_.clear();
    std::size_t i = 0;
    bool allume = false;
    for (const double debut : parasites) {
        while (i < vues.size() && vues[i].instant < debut) {
            avecParasites_.push_back(vues[i]);
            allume = vues[i++].allume;
        }
        avecParasites_.push_back({debut, !allume});
        const double fin = debut + reglages_.dureeParasite;
        while (i < vues.size() && vues[i].instant < fin)
            allume = vues[i++].allume;
        avecParasites_.push_back({fin, allume});
    }
    avecParasites_.insert(avecParasites_.end(), vues.begin() + std::ptrdiff_t(i), vues.end());
    return avecParasites_;
}

double CheminLumineux::eclairement(double instant) const {
    if (panne_ == Pannes::Lumiere::Allumee)
        return 1.0;
    if (panne_ == Pannes::Lumiere::Eteinte || source_ == nullptr)
        return 0.0;
    const auto& transitions = transitionsLumiere();
    auto apres = std::upper_bound(
        transitions.begin(), transitions.end(), instant,
        [](double t, const InterfaceOrphy::Transition& tr) { return t < tr.instant; });
    const auto niveauAvant = [&](auto it) {
        return it == transitions.begin() ? 0.0 : (it - 1)->allume ? 1.0 : 0.0;
    };
    const double tau = reglages_.tempsReponse;
    if (tau <= 0)
        return niveauAvant(apres);
    // What the photodiode saw more than 30 time constants before has faded (e^-30):
    // start from the last change older than that, taken as reached from steady light.
    auto debut = apres;
    while (debut != transitions.begin() && instant - (debut - 1)->instant < 30 * tau)
        --debut;
    if (debut != transitions.begin())
        --debut;
    double lumiere = niveauAvant(debut);
    double t = debut == apres ? instant : debut->instant;
    for (auto it = debut; it != apres; ++it) {
        const double cible = niveauAvant(it);
        lumiere = cible + (lumiere - cible) * std::exp(-(it->instant - t) / tau);
        t = it->instant;
    }
    const double cible = niveauAvant(apres);
    return cible + (lumiere - cible) * std::exp(-(instant - t) / tau);
}

double CheminLumineux::tension(double instant) const {
    double v = salle_ + laser_ * eclairement(instant);
    if (scintillement_ != 0)
        v += scintillement_ * std::sin(2.0 * std::numbers::pi * 100.0 * instant);
    if (bruit_ != 0)
        v += bruit_ * bruitGaussien(reglages_.graine, numeroStation_, instant);
    return v;
}

int CheminLumineux::lecture(double instant) const {
    return static_cast<int>(std::clamp(std::lround(tension(instant) * 255.0 / 5.0), 0L, 255L));
}
