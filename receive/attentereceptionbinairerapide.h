#pragma once

class Station;

// The fast binary reception, the program's idle loop while the coding is "br": waits for
// a start pulse of half a second, has the interface record nbmesures samples of the light,
// downloads them 32 at a time, measures the bit on the three opening flashes, reads the
// runs of light and darkness into 9-bit frames, rebuilds the text and shows it; then
// offers to save the recording and waits again. Returns when the coding changes while it
// waits.
void attentereceptionbinairerapide(Station& s);
