#include "app/station.h"

#include "app/feuillelumivox1.h"

#include <QString>
#include <cstdlib>

Station::Station(Plateforme& plateforme_, Dialogues& dialogues_, FabriqueTransport fabrique)
    : plateforme(plateforme_), dialogues(dialogues_), liaison(etat, std::move(fabrique)),
      Minuterie(plateforme_.creeMinuteur()) {
    // The timer is drawn with a 30 ms interval, disabled; start-up sets and enables it.
    Minuterie->setInterval(30);
    Minuterie->setEnabled(false);
    Minuterie->setMinuterie_Timer([this] { Minuterie_Timer(); });
    feuille = std::make_unique<Feuillelumivox1>(*this);
}

Station::~Station() = default;

void Station::Minuterie_Timer() {
    liaison.mesuretension();
    if (liaison.perdu())
        signaleperte();
    emit feuille->tensionmesuree(plateforme.horloge(), etat.tensionmesuree);
}

void Station::signaleperte() {
    // Without its port the station would take every sample for darkness and wait for a
    // message forever: say what happened and stop, as for any failure of the port. Nothing
    // can reach the interface any more, not even the laser-off command.
    Minuterie->setEnabled(false);
    QString message = liaison.erreurPerte();
    if (liaison.niveauLaser() != Liaison::NiveauLaser::eteint)
        message += QStringLiteral(
            "\n\nLe laser n'a pas pu être éteint : il peut être resté allumé. Éteignez "
            "l'interface ou débranchez le laser.");
    dialogues.boiteMessage(message + QStringLiteral("\n\nLe programme va s'arrêter."),
                           Dialogues::Boutons::Ok,
                           QStringLiteral("Liaison avec l'interface perdue"));
    arrete(3);
}

void Station::arrete(int code) {
    liaison.fermeport();
    plateforme.termineProgramme(code);
    std::abort(); // the platform does not come back
}
