#pragma once

class Feuillelumivox1;

// The items of the menu "Options" are remembered between runs, for the user, in the
// program's settings (~/.config/lumicom/lumicom.ini on Linux): robust decoding, fast
// Morse by blocks, the fast codings opened, and the large font for a projector.

// Gives the station the options of the last run, checks their items, and keeps every
// later change.
void retientoptions(Feuillelumivox1& feuille);
