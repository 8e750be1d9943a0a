#pragma once

#include "app/feuillelumivox1.h"
#include "link/station.h"
#include "tools/bancvirtuel.h"

// The main forms of a virtual bench's two stations, for the tests that look at what a
// station shows as the program's window does: made after the bench, before its exchange.
struct FeuillesBanc {
    explicit FeuillesBanc(BancVirtuel& banc)
        : emetteur(*banc.emetteur.station), recepteur(*banc.recepteur.station) {}
    Feuillelumivox1 emetteur;
    Feuillelumivox1 recepteur;
};

// The main form a station shows on, or null.
inline Feuillelumivox1* feuille(const Station& s) {
    return dynamic_cast<Feuillelumivox1*>(s.ecran);
}
