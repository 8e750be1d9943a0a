#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class Banc;

// The commands that change a running bench by hand, one a line (lumicom-sim reads them
// from its pipe "lumiere"; a test gives them on the virtual clock). N is the number of
// a port of the bench (1 for COM1):
//   eclaire N           the photodiode of station N lit, whatever the lasers do;
//   sombre N            the photodiode of station N dark, whatever the lasers do;
//   normale N           the photodiode of station N follows its partner's laser again;
//   muette N            the interface of port N carries out commands but answers none;
//   charabia N          it answers letters where the digits should be;
//   retard N SECONDES   every answer leaves that much later (0: on time again);
//   pause N SECONDES    the next answer stops half-way that long, then ends;
//   flot N              the interface sends digits without end, whatever is asked;
//   coupe N [SECONDES]  the connection of port N drops now, back after SECONDES if given;
//   rebranche N SECONDES  the same, back under another device (an adapter plugged back
//                       under another number), under the same name in the ports folder;
//   bloque N            the interface stops answering "XRESUL", the line stays up;
//   repare N            every fault of port N off, its connection back, its light normal;
//   salle, laser, bruit, scintillement N VOLTS: the light on photodiode N
//                       (sim/commandesphotodiode.h).
// Each takes effect at the instant given. The interface notes its faults in the journal
// itself; the light and the refusals go through `note`.
namespace commandesbanc {

// What to note beside the interface's own lines: the port ("COM2", empty for a refused
// command) and the text.
using Note = std::function<void(const QString& port, const QString& detail)>;

// Carries out one command line (without its line end); false when it is refused, which
// is then noted.
bool execute(Banc& banc, double instant, const QByteArray& ligne, const Note& note);

// The forms of the commands, for the refusal and the help.
QString formes();

} // namespace commandesbanc
