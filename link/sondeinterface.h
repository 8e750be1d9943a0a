#pragma once

#include "link/plateforme.h"
#include "link/transport.h"

#include <QList>
#include <QString>

// The search for the interface at start-up, so that the port box can offer the COM number
// where one answers: a teacher often cannot say which port the interface is on.
//
// Each port tried that opens is asked one reading, "XEA 0" and CR, at 9600 baud, and
// given 0.3 s to answer with one (a decimal number 0 to 255, then CR); the search stops
// at the first that does. Nothing else is written: never a keying byte, which would light
// or darken a laser. A port that another station of this computer holds open does not
// open (the serial port takes a lock on it, and its exclusive use), so it is never
// touched; it is listed apart, with the ports that do not open for another reason.

// A port to try: its COM number and the device behind it.
struct PortSonde {
    int numport = 0;
    QString peripherique;
};

struct ResultatSonde {
    int trouve = 0;           // the COM number of the port whose interface answered; 0: none
    QString peripherique;     // its device
    QList<PortSonde> essayes; // asked a reading, in order (the one found last)
    QList<PortSonde> fermes;  // did not open: held by another program, refused, gone
};

inline constexpr double delaisonde = 0.3;

// Tries `ports` in order, opening each through `ouvre`, with the clock and the yields of
// `plateforme`.
ResultatSonde sondeinterface(Plateforme& plateforme, const FabriqueTransport& ouvre,
                             const QList<PortSonde>& ports, double delai = delaisonde);

// The serial ports of this computer in COM order (those published in LUMICOM_PORTS, then
// the machine's own, see link/ports.h; on Windows the COM ports the system lists), the
// port numbered `premier` first when it is one of them.
QList<PortSonde> portsasonder(int premier = 0);

// What the port box says of the search, before its prompt: "Interface trouvée sur COM 3
// (/dev/ttyUSB0)", or "Aucune interface n'a répondu" with the ports tried.
QString textesonde(const ResultatSonde& resultat);
