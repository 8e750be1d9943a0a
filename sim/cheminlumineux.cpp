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

} // namespace

double bruitGaussien(std::uint64_t graine, int station, double instant) {
    const auto nanosecondes = static_cast<std::uint64_t>(std::llround(instant * 1e9));
    const std::uint64_t cle =
        melange(graine ^ melange(nanosecondes ^ (std::uint64_t(station) << 56)));
    const double u1 = uniforme(cle);
    const double u2 = uniforme(melange(cle));
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

CheminLumineux::CheminLumineux(ReglagesLumiere reglages, Pannes::Lumiere panne, int numeroStation)
    : reglages_(reglages), panne_(panne), numeroStation_(numeroStation) {}

double CheminLumineux::eclairement(double instant) const {
    if (panne_ == Pannes::Lumiere::Allumee)
        return 1.0;
    if (panne_ == Pannes::Lumiere::Eteinte || source_ == nullptr)
        return 0.0;
    const auto& transitions = source_->transitionsSB0();
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
    double v = reglages_.niveauObscur +
               (reglages_.niveauEclaire - reglages_.niveauObscur) * eclairement(instant);
    if (reglages_.scintillement != 0)
        v += reglages_.scintillement * std::sin(2.0 * std::numbers::pi * 100.0 * instant);
    if (reglages_.bruit != 0)
        v += reglages_.bruit * bruitGaussien(reglages_.graine, numeroStation_, instant);
    return v;
}

int CheminLumineux::lecture(double instant) const {
    return static_cast<int>(std::clamp(std::lround(tension(instant) * 255.0 / 5.0), 0L, 255L));
}
