#include "app/station.h"

#include "app/feuillelumivox1.h"

#include <QString>

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
}

void Station::signaleperte() {
    // Without its port the station would take every sample for darkness and wait for a
    // message forever: say what happened and stop, as for any failure of the port.
    Minuterie->setEnabled(false);
    dialogues.boiteMessage(liaison.erreurPerte() + QStringLiteral("\n\nLe programme va s'arrêter."),
                           Dialogues::Boutons::Ok,
                           QStringLiteral("Liaison avec l'interface perdue"));
    plateforme.termineProgramme(3);
}
