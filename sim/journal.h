#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// One event of the simulated bench, as the log records it: a command received, a
// keying byte, a change of the laser output SB0, bytes ignored, a fault taking effect.
struct EvenementJournal {
    double instant = 0; // seconds on the bench's clock
    QString port;       // "COM1", "COM2"
    QString mot;        // commande, touche, SB0, ignore, omise, enregistrement, panne
    QString detail;     // the command text (escaped), the level, a French explanation
};

using Journal = std::function<void(const EvenementJournal&)>;

// "12.345678 COM1 SB0 1": the instant with six decimals, the port, the word, the detail.
QString ligneJournal(const EvenementJournal& e);

// The bytes as readable text: printable ASCII as it stands, CR as \r, LF as \n, any
// other byte as \xNN (the backslash itself as \\).
QString texteEchappe(const QByteArray& octets);
