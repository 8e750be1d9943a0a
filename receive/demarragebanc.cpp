#include "receive/demarragebanc.h"

#include "link/station.h"
#include "link/tubebanc.h"

QString aidebanc(int poste, LumiereDemarrage lumiere) {
    switch (lumiere) {
    case LumiereDemarrage::eclairee:
        return QStringLiteral("Sur le banc simulé, aucun laser n'éclaire la photodiode pendant le "
                              "démarrage : cliquer « Lumière du banc... », puis « Éclairer la "
                              "photodiode » du poste %1, fermer la fenêtre et cliquer OK ici.")
            .arg(poste);
    case LumiereDemarrage::rendue:
        return QStringLiteral("Sur le banc simulé : « Sous le laser » (Lumière du banc...) remet "
                              "la photodiode du poste %1 sous le laser de l'autre poste.")
            .arg(poste);
    case LumiereDemarrage::noire:
        break;
    }
    return QStringLiteral("Sur le banc simulé : la photodiode du poste %1 doit être « Sous le "
                          "laser » (l'autre poste n'émettant pas) ou « Dans le noir » (Lumière "
                          "du banc...).")
        .arg(poste);
}

Dialogues::Reponse boitedemarrage(Station& s, const QString& invite, Dialogues::Boutons boutons,
                                  const QString& titre, LumiereDemarrage lumiere) {
    const int poste = s.etat.numport;
    if (!portdubanc(poste))
        return s.dialogues.boiteMessage(invite, boutons, titre);
    return s.dialogues.boiteBanc(invite + QStringLiteral("\n\n") + aidebanc(poste, lumiere),
                                 boutons, titre);
}
