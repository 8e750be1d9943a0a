#pragma once

class Station;

// The fast Morse reception, the program's idle loop while the coding is "mr": waits for
// a start pulse of half a second, has the interface record the light into its memory,
// downloads the samples one by one (with a control copy on disk), measures the dash and
// the dot on the opening letter c, reads the rest into a Morse code string, decodes it
// and shows the text; then offers to save the recording and waits again. Returns when the
// coding changes while it waits.
void attentereceptionmorserapide(Station& s);
