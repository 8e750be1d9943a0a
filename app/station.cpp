#include "app/station.h"

#include "app/feuillelumivox1.h"

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
}
