#include "emit/maintientlaser.h"

#include "link/station.h"

#include <algorithm>

namespace {

constexpr double dureeOctet = 1.0 / 960; // one byte at 9600 baud, 8N1

void touche(Liaison& liaison, bool allume, Touches touches) {
    if (touches == Touches::rapides)
        allume ? liaison.allumelaserrapide() : liaison.eteintlaserrapide();
    else
        allume ? liaison.allumelaser() : liaison.eteintlaser();
}

} // namespace

double entretientlaser(Station& s, bool allume, double fin, Touches touches) {
    Liaison& liaison = s.liaison;
    ClavierLaser& clavier = s.clavier;
    const double maintenant = s.plateforme.horloge();
    const auto niveau = allume ? Liaison::NiveauLaser::allume : Liaison::NiveauLaser::eteint;
    const bool changement = liaison.niveauLaser() != niveau;
    if (changement || (maintenant >= clavier.prochainRafraichissement && fin - maintenant > garde &&
                       liaison.octetsEnAttente() == 0)) {
        touche(liaison, allume, touches);
        clavier.prochainRafraichissement = maintenant + periodeRafraichissement;
        if (liaison.perdu()) {
            s.notelaperte();
            return fin;
        }
    }
    const double libre = maintenant + liaison.octetsEnAttente() * dureeOctet;
    const double prochain = std::max(clavier.prochainRafraichissement, libre);
    return prochain < fin - garde ? prochain : fin;
}

void maintientlaser(Station& s, bool allume, double duree, Cession cession, Touches touches) {
    Plateforme& p = s.plateforme;
    ClavierLaser& clavier = s.clavier;
    const double lecture = p.horloge();
    s.etat.tempsdepart = debutintervalle(clavier.finIntervalle, lecture);
    const auto niveau = allume ? Liaison::NiveauLaser::allume : Liaison::NiveauLaser::eteint;
    if (s.liaison.niveauLaser() != niveau)
        clavier.notechangement(s.etat.tempsdepart);
    const double fin = s.etat.tempsdepart + duree;
    clavier.finIntervalle = fin;
    // The first pass neither sleeps nor yields before it writes: a change of level is due
    // now, and the events that piled up during an interval without yields (a whole start
    // mark of them: serial notices, the window's painting) would hold it back for as long
    // as they take to run.
    double reveil = lecture;
    bool premierPassage = true;
    do {
        if (cession == Cession::avantEcriture && !premierPassage)
            p.cede(reveil);
        premierPassage = false;
        reveil = entretientlaser(s, allume, fin, touches);
        // Without the port the interval is not held: the emission runs to its end at once.
        if (s.liaisonperdue())
            return;
        if (cession == Cession::apresEcriture)
            p.cede(reveil);
        else if (cession == Cession::aucune)
            p.attendjusqua(reveil);
    } while (p.horloge() < fin);
}
