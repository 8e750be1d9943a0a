#pragma once

class Station;

// Click on "Envoi du message en code morse": sends the text of Texte1 (or the short
// code of a predefined sentence) as slow Morse light pulses, between a start mark of
// 3 s and an end mark of 3 s, then gives the form back to the reception.
void Btonenvoiemorse_Click(Station& s);
