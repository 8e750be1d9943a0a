#pragma once

#include "link/ecran.h"

#include <QString>

class Station;
struct BilanTelechargement;

// Values a second a download reaches on the 9600-baud line, before it has measured its
// own: one request per value (some 18 bytes on the line and the interface's reaction for
// each: 6368 values in 2 min 24 s on the simulated interface), or 32 values a request
// (6400 in 22 s).
inline constexpr double debitParValeur = 44;
inline constexpr double debitParBlocs = 290;
// The rate measured is trusted once the download has run this long.
inline constexpr double dureeMesureDebit = 1.0;
// A download is reported at most this often: a line on a terminal, a bar on the form,
// and nothing more for the processor to do.
inline constexpr double intervalleProgression = 0.25;
// Beyond this time left, a download one value at a time suggests the option of blocks.
inline constexpr double resteConseilBlocs = 60;

// The seconds a download still needs: the values left at the rate measured since it began
// (`ecoule` seconds ago), or at the usual rate of its way of asking until one is measured.
double resteestime(int recues, int demandees, double ecoule, bool parvaleur);

// Reports the download whose figures `bilan` holds to the station's screen: at once, then
// at most every `intervalleProgression` as values come, and, when it goes out of scope
// (the download ended or abandoned), once more as ended.
class SuiviTelechargement {
public:
    SuiviTelechargement(Station& s, const BilanTelechargement& bilan, bool parvaleur);
    ~SuiviTelechargement();
    SuiviTelechargement(const SuiviTelechargement&) = delete;
    SuiviTelechargement& operator=(const SuiviTelechargement&) = delete;

    // Values have come: reported if the last report is old enough.
    void avance();

private:
    void signale(double maintenant, bool fini);

    Station& s_;
    const BilanTelechargement& bilan_;
    bool parvaleur_;
    double debut_;
    double dernier_;
};

// A time left in words: "45 s", "1 min", "2 min 5 s" (whole seconds, rounded up).
QString dureerestante(double secondes);

// Whether the line suggests the download by blocks: one value at a time, and more than
// `resteConseilBlocs` still to go.
bool conseilleblocs(const ProgressionTelechargement& p);

// The line shown beside the captions while a download runs: "Téléchargement : 1234 /
// 6368 mesures, encore 1 min 52 s", followed by `conseil` when the blocks are suggested;
// once ended, only the values.
QString ligneprogression(const ProgressionTelechargement& p, const QString& conseil);

// The suggestion, naming the item of the menu "Options" (the form) or the option of a
// command (the headless tool).
QString conseilarticleblocs(const QString& article);
QString conseiloptionblocs(const QString& option);
