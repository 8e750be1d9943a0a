#pragma once

class Station;

// Click on "Envoi du message en code binaire": sends the text of Texte1 (or the short
// code of a predefined sentence) as 8-bit characters, each a start bit of light and
// eight data bits of 0.568 s at normal speed, followed by a stop interval of darkness,
// between a start mark of 5.68 s and an end mark of 6.818 s.
void Btonenvoiebinaire_Click(Station& s);
