#include "receive/progressiontelechargement.h"

#include "link/station.h"
#include "receive/telechargement.h"

#include <algorithm>
#include <cmath>

double resteestime(int recues, int demandees, double ecoule, bool parvaleur) {
    const int restantes = std::max(0, demandees - recues);
    const double debit = ecoule >= dureeMesureDebit && recues > 0
                             ? recues / ecoule
                             : (parvaleur ? debitParValeur : debitParBlocs);
    return restantes / debit;
}

SuiviTelechargement::SuiviTelechargement(Station& s, const BilanTelechargement& bilan,
                                         bool parvaleur)
    : s_(s), bilan_(bilan), parvaleur_(parvaleur), debut_(s.plateforme.horloge()),
      dernier_(debut_) {
    signale(debut_, false);
}

SuiviTelechargement::~SuiviTelechargement() {
    signale(s_.plateforme.horloge(), true);
}

void SuiviTelechargement::avance() {
    const double t = s_.plateforme.horloge();
    if (t - dernier_ >= intervalleProgression)
        signale(t, false);
}

void SuiviTelechargement::signale(double maintenant, bool fini) {
    dernier_ = maintenant;
    ProgressionTelechargement p;
    p.recues = bilan_.valeursRecues;
    p.demandees = bilan_.valeursDemandees;
    p.reste = fini ? 0 : resteestime(p.recues, p.demandees, maintenant - debut_, parvaleur_);
    p.parvaleur = parvaleur_;
    p.fini = fini;
    s_.ecran->progressiontelechargement(p);
}

QString dureerestante(double secondes) {
    const auto total = static_cast<long long>(std::ceil(std::max(0.0, secondes)));
    if (total < 60)
        return QStringLiteral("%1 s").arg(total);
    const long long minutes = total / 60, reste = total % 60;
    if (reste == 0)
        return QStringLiteral("%1 min").arg(minutes);
    return QStringLiteral("%1 min %2 s").arg(minutes).arg(reste);
}

bool conseilleblocs(const ProgressionTelechargement& p) {
    return p.parvaleur && !p.fini && p.reste > resteConseilBlocs;
}

QString ligneprogression(const ProgressionTelechargement& p, const QString& conseil) {
    if (p.fini)
        return QStringLiteral("Téléchargement : %1 / %2 mesures").arg(p.recues).arg(p.demandees);
    QString ligne = QStringLiteral("Téléchargement : %1 / %2 mesures, encore %3")
                        .arg(p.recues)
                        .arg(p.demandees)
                        .arg(dureerestante(p.reste));
    if (conseilleblocs(p))
        ligne += conseil;
    return ligne;
}

QString conseilarticleblocs(const QString& article) {
    return QStringLiteral(" ; plus court : cocher « %1 » dans le menu « Options »").arg(article);
}

QString conseiloptionblocs(const QString& option) {
    return QStringLiteral(" ; plus court : l'option %1").arg(option);
}
