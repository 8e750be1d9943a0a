#pragma once

#include <QString>

class Station;

// The threshold voltage: the voltage of the photodiode in the dark, plus 0.5 V. Start-up
// measures it (Form_Load); the item "Mesurer à nouveau la tension seuil" of the menu
// "Options", or the offer of the watch on the light (veilleseuil.h), measures it again.

// Waits more than one second, as before each measurement of the light, until a reading of
// the interface has come during the wait: `tensionmesuree` is then a voltage the interface
// gave, never a default. A port lost meanwhile is opened again every second, as while
// waiting for a message, and the wait starts again once it is back. When no reading comes,
// says why and what to check: OK waits again; Cancel returns false, `annuler` telling the
// user what Cancel does ("Annuler pour arrêter le programme.").
bool attendunemesure(Station& s, const QString& annuler);

// The box before a measurement of the threshold: the photodiode must not be lit. `anouveau`:
// a threshold was measured before (its wording at start-up after the receiver test).
QString invitemesureseuil(bool anouveau);
inline const QString titremesureseuil = QStringLiteral("ATTENTION : MESURE DE TENSION SEUIL");

// Measures the threshold again while the station waits for messages, the photodiode in
// the dark as at start-up: the box that says so (Cancel keeps the threshold), the wait for
// a reading, then the new threshold and a box that shows it. Refused, with a box that says
// why, while an emission or a reception is under way or while the port is lost.
void mesureanouveauseuil(Station& s);
// The same without the first box: the user has just agreed to it (the watch's offer).
void mesureseuilmaintenant(Station& s);
