#include "emit/emissionrapide.h"

#include "emit/emissionlente.h"
#include "emit/maintientlaser.h"
#include "link/ecran.h"
#include "link/station.h"

using enum Ecran::Controle;

void prepareemissionrapide(Station& s, Ecran::Controle boutonenvoi) {
    prepareemission(s, boutonenvoi);
    // Nothing runs between the two captions: the user only ever sees this one.
    s.ecran->fixetexte(
        Etiquette1, s.etat.nbmesures == 6400
                        ? QStringLiteral(" ENVOI DU MESSAGE EN COURS  PATIENTEZ environ 15 s SVP")
                        : QStringLiteral(" ENVOI DU MESSAGE EN COURS  PATIENTEZ environ 30 s SVP"));
}

CadenceRapide::CadenceRapide(Station& s, double debut) : s_(s), fin_(debut) {}

void CadenceRapide::element(bool allume, double duree) {
    Liaison& liaison = s_.liaison;
    Plateforme& p = s_.plateforme;
    if (s_.liaisonperdue())
        return;
    const double debut = debutintervalle(fin_, p.horloge());
    fin_ = debut + duree;
    const auto niveau = allume ? Liaison::NiveauLaser::allume : Liaison::NiveauLaser::eteint;
    if (liaison.niveauLaser() != niveau)
        s_.clavier.notechangement(debut);
    allume ? liaison.allumelaserrapide() : liaison.eteintlaserrapide();
    if (liaison.perdu()) {
        // The rest of the message goes nowhere: it is not waited for.
        s_.notelaperte();
        return;
    }
    p.attendjusqua(fin_);
}

void attentefinenregistrement(Station& s, double t0) {
    Plateforme& p = s.plateforme;
    s.liaison.eteintlaserrapide();
    if (s.liaison.perdu())
        s.notelaperte();
    const double attente = 2 + s.etat.dureeparmesure * s.etat.nbmesures;
    while (!(p.horloge() - t0 > attente) && !s.liaisonperdue())
        p.cede(t0 + attente);
}
