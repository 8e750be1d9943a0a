#pragma once

#include "app/feuillelumivox1.h"
#include "link/plateformevirtuelle.h"
#include "link/station.h"
#include "link/transportmemoire.h"
#include "tools/dialoguesscriptes.h"

#include <QString>
#include <functional>
#include <memory>

// A station in virtual time with scripted boxes, whose port is memory. A minimal
// stand-in for the interface answers each "XEA 0" request at once with the reading
// that `lecture` gives (decimal text and CR), and records the laser's state from the
// keying bytes. Opening fails with `erreurouverture` when that is set. The station shows
// on its main form, `feuille`, as the program's does.
struct StationEssai {
    StationEssai();

    PlateformeVirtuelle plateforme;
    DialoguesScriptes dialogues;
    TransportMemoire* transport = nullptr; // owned by the station's link once open
    QString erreurouverture;
    // The device the opening says it would wait for once lost (empty: none).
    QString peripheriqueattendu;
    int portdemande = -1;
    std::function<QByteArray()> lecture = [] { return QByteArray("0"); };
    bool laserallume = false;
    Station station;
    std::unique_ptr<Feuillelumivox1> feuille = std::make_unique<Feuillelumivox1>(station);
};
