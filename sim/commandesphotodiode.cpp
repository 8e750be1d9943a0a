#include "sim/commandesphotodiode.h"

#include "sim/banc.h"

#include <QList>
#include <cmath>

namespace commandesphotodiode {

namespace {

// A voltage on EA0, 0 to 5 V, written with a point or a comma; -1 for anything else.
double tensionphotodiode(QByteArray texte) {
    bool ok = false;
    const double v = texte.replace(',', '.').toDouble(&ok);
    return ok && std::isfinite(v) && v >= 0 && v <= 5 ? v : -1;
}

} // namespace

bool reconnait(const QByteArray& nom) {
    return nom == "salle" || nom == "laser" || nom == "bruit" || nom == "scintillement";
}

QString ligneetat(const Banc& banc, int station) {
    const CheminLumineux& c = banc.chemin(station);
    const QString photodiode = c.panne() == Pannes::Lumiere::Allumee   ? QStringLiteral("eclairee")
                               : c.panne() == Pannes::Lumiere::Eteinte ? QStringLiteral("sombre")
                                                                       : QStringLiteral("normale");
    return QStringLiteral("%1 salle %2 laser %3 bruit %4 scintillement %5 photodiode %6")
        .arg(Banc::nomPort(station))
        .arg(c.salle())
        .arg(c.laser())
        .arg(c.bruit())
        .arg(c.scintillement())
        .arg(photodiode);
}

QString formes() {
    return QStringLiteral("salle N VOLTS, laser N VOLTS, bruit N VOLTS, scintillement N VOLTS");
}

bool execute(Banc& banc, double instant, const QByteArray& ligne, const commandesbanc::Note& note) {
    const QList<QByteArray> mots = ligne.simplified().split(' ');
    bool nombre = false;
    const int station = mots.size() == 3 ? mots[1].toInt(&nombre) : 0;
    const double volts = mots.size() == 3 ? tensionphotodiode(mots[2]) : -1;
    if (!reconnait(mots[0]) || !nombre || station < 1 || station > banc.nombreInterfaces() ||
        volts < 0) {
        note(QString(), QStringLiteral("lumière : commande refusée « %1 » (VOLTS de 0 à 5 ; %2)")
                            .arg(QString::fromUtf8(ligne), commandesbanc::formes()));
        return false;
    }
    // The samples of a recording under way keep the light they were taken in.
    banc.avanceJusqua(instant);
    const int i = station - 1;
    CheminLumineux& chemin = banc.chemin(i);
    const QByteArray& nom = mots[0];
    const QString valeur = QString::number(volts);
    QString detail;
    if (nom == "salle") {
        chemin.fixesalle(volts);
        detail = QStringLiteral("salle %1 V sur la photodiode").arg(valeur);
    } else if (nom == "laser") {
        chemin.fixelaser(volts);
        detail = QStringLiteral("laser %1 V sur la photodiode").arg(valeur);
    } else if (nom == "bruit") {
        chemin.fixebruit(volts);
        detail = QStringLiteral("bruit %1 V sur la photodiode").arg(valeur);
    } else {
        chemin.fixescintillement(volts);
        detail = QStringLiteral("scintillement à 100 Hz %1 V sur la photodiode").arg(valeur);
    }
    note(Banc::nomPort(i), detail);
    return true;
}

} // namespace commandesphotodiode
