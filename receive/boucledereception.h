#pragma once

class Station;

// The program's idle loop: runs the reception routine of the current coding, and when
// that routine returns because a menu has changed the coding, the routine of the new
// one. Each change of coding thus starts one routine, in the order the menus chose,
// without the routines calling one another deeper and deeper. When a routine returns
// because the port has gone away, the loop waits for it to come back, then goes on with
// the same coding and threshold. Never returns while the program runs.
void boucledereception(Station& s);

// The port has gone away: the user is told (Station::notelaperte), nothing can be sent,
// and every second the same COM port is opened again, the events running meanwhile (Quit
// works). Returns once it has opened, the tick running again.
void attenteretourliaison(Station& s);
