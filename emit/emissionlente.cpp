#include "emit/emissionlente.h"

#include "emit/maintientlaser.h"
#include "link/ecran.h"
#include "link/station.h"

using enum Ecran::Controle;

void prepareemission(Station& s, Ecran::Controle boutonenvoi) {
    Ecran& f = *s.ecran;
    s.Minuterie->setEnabled(false);
    f.fixetexte(Etiquette1, QStringLiteral(" ENVOI DU MESSAGE EN COURS  PATIENTEZ SVP"));
    f.fixelectureseule(Texte1, true);
    f.fixeactif(boutonenvoi, false);
    f.fixeactif(Btonefface, false);
    f.fixefond(Etiquette2, Ecran::Fond::vertclair);
    f.fixefond(Texte2, Ecran::Fond::vertclair);
    f.appliquetaillepolice(s.etat.taillepolice);
}

QString texteTexte1(Station& s) {
    return s.ecran->texte(Texte1);
}

void termineemission(Station& s) {
    Plateforme& p = s.plateforme;
    s.liaison.eteintlaser();
    p.cede();
    s.ecran->fixetexte(Etiquette1, QStringLiteral(" ENVOI DU MESSAGE TERMINE "));
    // The final pause has its own clock reading, off the schedule of the message.
    const double t = p.horloge();
    double reveil = t;
    do {
        p.cede(reveil);
        reveil = entretientlaser(s, false, t + 1);
    } while (p.horloge() < t + 1 && !s.liaisonperdue());
}

void retourreception(Station& s, Ecran::Controle boutonenvoi, const QString& legende) {
    Ecran& f = *s.ecran;
    f.fixetexte(Etiquette1, legende);
    f.fixelectureseule(Texte1, false);
    f.fixeactif(boutonenvoi, true);
    f.fixeactif(Btonefface, true);
    f.fixefond(Etiquette2, Ecran::Fond::jauneclair);
    f.fixefond(Texte2, Ecran::Fond::jauneclair);
    f.fixetexte(Etiquette2, QStringLiteral("Réception de message"));
    f.fixetexte(Texte2, QString());
    s.Minuterie->setEnabled(true);
    s.plateforme.cede();
}
