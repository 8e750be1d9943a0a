#pragma once

class Station;

// The slow binary reception, the program's idle loop while the coding is "b": waits for
// a start mark (3.5 s of light), counts lit and dark slots of 0.5 s into a string of
// "1", "0" and " " shown in Texte1 as it comes, decodes it at the end mark (nine lit
// slots and more light) or after 7 gap units, shows the text in Texte2 and waits again.
// Returns when the coding changes while it waits.
void attentereceptionbinaire(Station& s);
