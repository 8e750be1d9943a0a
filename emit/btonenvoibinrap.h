#pragma once

class Station;

// Click on "Envoi du message en binaire rapide": sends the text of Texte1 (or the short
// code of a predefined sentence) as 8-bit frames with bits of 0.07 s at normal speed,
// after a start mark of 1 s of light and 0.35 s of darkness and three one-bit flashes on
// which the receiver measures a bit; then waits, the laser off, until the receiver's
// recording is over, and gives the form back to the reception.
void Btonenvoi_binrap_Click(Station& s);
