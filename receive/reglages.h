#pragma once

#include <QString>
#include <array>

class Station;

// The settings the menus choose, applied to a station: what the menu handlers of the main
// form do besides their check marks, so that a station without a form (the headless tool,
// the benchmarks) chooses them the same way.

// An item of the menu "vitesse d'émission": its factor k (symbols k times faster) as typed
// on a command line and as a number; the speed factor it sets (1/k: durations are
// multiplied by it); the time per recorded sample it sets, or a negative value when the
// item leaves the one in force (only x 1, x 2, x 3 and x 4 set it).
struct ArticleVitesse {
    const char* facteur; // "0.9" ... "4"
    double valeur;
    double facteurvitesse;
    double dureeparmesure;
};

// The eleven items, in the menu's order.
extern const std::array<ArticleVitesse, 11> articlesvitesse;

// The item whose factor is `k` (a decimal point or a decimal comma), or nullptr.
const ArticleVitesse* articlevitesse(const QString& k);

// The speed of `article` in force: its factor, its time per sample, the estimate again.
void choisitvitesseposte(Station& s, const ArticleVitesse& article);

// A slow coding chosen in the menu "Type de codage", slow Morse (`morse`) or slow binary:
// the coding, the buttons, the captions and the warning in Texte2, Texte1 emptied, the tick
// at 50 ms (Morse) or 30 ms (binary).
void choisitcodagelentposte(Station& s, bool morse);

// A fast coding chosen in its submenu: fast Morse (`morse`) or fast binary, a recording of
// 12800 samples (`long_`) or 6400: the coding, the buttons, the captions and the warning
// in Texte2, the prompt in Texte1, the tick at 30 ms.
void choisitcodagerapideposte(Station& s, bool morse, bool long_);
