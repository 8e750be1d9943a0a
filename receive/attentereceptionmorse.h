#pragma once

class Station;

// The slow Morse reception, the program's idle loop while the coding is "m": waits for
// a start mark (1.5 s of light), times every light pulse and dark stretch on the clock,
// shows the received code in Texte1 as it comes, decodes it at the end mark (or after
// 7 silence units), shows the text in Texte2 and waits again. Returns when the coding
// changes while it waits.
void attentereceptionmorse(Station& s);
