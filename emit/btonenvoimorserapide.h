#pragma once

class Station;

// Click on "Envoi du message en morse rapide": sends the text of Texte1 (or the short
// code of a predefined sentence) as fast Morse, a dot of 0.05 s at normal speed, after a
// start mark of 1 s of light and 0.35 s of darkness and the letter c on which the
// receiver measures a dash and a dot; then waits, the laser off, until the receiver's
// recording is over, and gives the form back to the reception.
void Btonenvoi_morserapide_Click(Station& s);
