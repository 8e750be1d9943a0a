#include "sim/commandesbanc.h"

#include "sim/banc.h"
#include "sim/commandesphotodiode.h"

#include <QList>
#include <cmath>

namespace commandesbanc {

namespace {

// A number of seconds, 0 or more, written with a point or a comma; -1 for anything else.
double secondes(QByteArray texte) {
    bool ok = false;
    const double v = texte.replace(',', '.').toDouble(&ok);
    return ok && std::isfinite(v) && v >= 0 ? v : -1;
}

QString texteLumiere(Pannes::Lumiere etat) {
    switch (etat) {
    case Pannes::Lumiere::Allumee:
        return QStringLiteral("photodiode éclairée à la main");
    case Pannes::Lumiere::Eteinte:
        return QStringLiteral("photodiode dans le noir à la main");
    case Pannes::Lumiere::Normale:
        break;
    }
    return QStringLiteral("photodiode de nouveau sous le laser");
}

} // namespace

QString formes() {
    return commandesphotodiode::formes() +
           QStringLiteral(", eclaire N, sombre N, normale N, muette N, charabia N, "
                          "retard N SECONDES, pause N SECONDES, flot N, coupe N [SECONDES], "
                          "rebranche N SECONDES, bloque N ou repare N");
}

bool execute(Banc& banc, double instant, const QByteArray& ligne, const Note& note) {
    const QList<QByteArray> mots = ligne.simplified().split(' ');
    const QByteArray& nom = mots[0];
    if (commandesphotodiode::reconnait(nom))
        return commandesphotodiode::execute(banc, instant, ligne, note);
    // The words after the port: a duration for "retard", "pause" and "rebranche", one or
    // none for "coupe", none for the others.
    const qsizetype parametres = mots.size() - 2;
    bool nombre = false;
    const int station = mots.size() >= 2 ? mots[1].toInt(&nombre) : 0;
    const double duree = parametres == 1 ? secondes(mots[2]) : -1;
    const bool avecduree = nom == "retard" || nom == "pause" || nom == "rebranche";
    const bool forme = avecduree        ? parametres == 1 && duree >= 0
                       : nom == "coupe" ? parametres == 0 || (parametres == 1 && duree >= 0)
                                        : parametres == 0;
    const bool connu = nom == "eclaire" || nom == "sombre" || nom == "normale" || nom == "muette" ||
                       nom == "charabia" || nom == "retard" || nom == "pause" || nom == "flot" ||
                       nom == "coupe" || nom == "rebranche" || nom == "bloque" || nom == "repare";
    if (!connu || !forme || !nombre || station < 1 || station > banc.nombreInterfaces()) {
        note(QString(), QStringLiteral("lumière : commande refusée « %1 » (%2)")
                            .arg(QString::fromUtf8(ligne), formes()));
        return false;
    }

    // What happened before the command is settled in the state before it, samples of a
    // running recording included.
    banc.avanceJusqua(instant);
    const int i = station - 1;
    InterfaceOrphy& interface = banc.interface(i);
    const auto lumiere = [&](Pannes::Lumiere etat) {
        banc.chemin(i).setPanne(etat);
        note(Banc::nomPort(i), texteLumiere(etat));
    };
    if (nom == "eclaire")
        lumiere(Pannes::Lumiere::Allumee);
    else if (nom == "sombre")
        lumiere(Pannes::Lumiere::Eteinte);
    else if (nom == "normale")
        lumiere(Pannes::Lumiere::Normale);
    else if (nom == "muette")
        interface.rendMuette(instant);
    else if (nom == "charabia")
        interface.rendCharabia(instant);
    else if (nom == "retard")
        interface.retarde(instant, duree);
    else if (nom == "pause")
        interface.metEnPause(instant, duree);
    else if (nom == "flot")
        interface.lanceFlot(instant);
    else if (nom == "coupe")
        interface.coupe(instant, duree);
    else if (nom == "rebranche")
        interface.coupe(instant, duree, true);
    else if (nom == "bloque")
        interface.bloque(instant);
    else {
        interface.repare(instant);
        lumiere(Pannes::Lumiere::Normale);
    }
    return true;
}

} // namespace commandesbanc
