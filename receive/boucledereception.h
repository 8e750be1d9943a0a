#pragma once

class Station;

// The program's idle loop: runs the reception routine of the current coding, and when
// that routine returns because a menu has changed the coding, the routine of the new
// one. Each change of coding thus starts one routine, in the order the menus chose,
// without the routines calling one another deeper and deeper. Never returns while the
// program runs.
void boucledereception(Station& s);
