#pragma once

#include "link/ecranmemoire.h"
#include "link/plateformeqt.h"
#include "link/station.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Dialogues;
struct ArticleVitesse;

// A station of the program in real time, its main form never shown on screen: the
// program's own start-up over the serial port COM n (LUMICOM_PORTS applies, as for the
// program), its boxes answered from a script (no receiver test), then its idle loop.
// Used by the subcommands send and receive.
class PosteReel {
public:
    struct Reglages {
        int numport = 1;
        QString codage = QStringLiteral("m"); // "m", "b", "mr" or "br"
        int nbmesures = 6400;                 // fast codings: samples of a recording
        // The speed menu item to choose once start-up is over; null for none.
        const ArticleVitesse* articlevitesse = nullptr;
        // The options of the menu "Options" (--robuste, --blocs).
        bool robuste = false;
        bool blocs = false;
        // A port that goes away: the station waits for it to come back, as the window's
        // does (receive), or ends with status 3 (send, whose message is lost).
        bool attendretourliaison = false;

        // Start-up offers the slow codings only: a fast one is chosen in its menu after.
        bool morse() const { return codage.startsWith(u'm'); }
        bool rapide() const { return codage.size() == 2; }
    };

    explicit PosteReel(const Reglages& reglages);
    ~PosteReel();
    PosteReel(const PosteReel&) = delete;
    PosteReel& operator=(const PosteReel&) = delete;

    Station& station() { return *station_; }
    // What the station shows, kept in memory.
    EcranMemoire& ecran() { return ecran_; }

    // Runs the start-up. When the idle loop begins (the form is shown, the threshold
    // measured, the settings at their defaults), the fast coding's item (if any) and the
    // speed item are chosen and `auRepos`
    // runs once; what it schedules with a zero timer runs in the first yield of the idle
    // loop, as a click would. Returns only if the program ends through the platform.
    //
    // A port that cannot be opened: the program's message on standard error, exit 2.
    // Ctrl+C (SIGINT) or SIGTERM: the port is closed and the process ends with status 0.
    void demarre(std::function<void()> auRepos);

    // Closes the port and ends the process with `code`.
    [[noreturn]] void termine(int code);

private:
    Reglages reglages_;
    PlateformeQt plateforme_;
    // The station's screen: nothing shown, the texts kept for what the tool prints.
    EcranMemoire ecran_;
    std::unique_ptr<Dialogues> dialogues_;
    std::unique_ptr<Station> station_;
};

// The options "--nom VALEUR" (or "--nom=VALEUR") of a subcommand, each given at most
// once, among `noms` (without the dashes), and the options without a value among
// `drapeaux` (kept with an empty value). On an unknown or repeated option, a missing
// value or a stray argument, returns false with the French reason in `erreur`.
bool litoptions(const QStringList& arguments, const QStringList& noms,
                QMap<QString, QString>& valeurs, QString& erreur, const QStringList& drapeaux = {});

// The options both station subcommands take: --port N (required), --coding m|b|mr|br
// (required), --speed K and --samples 6400|12800 (optional), and the flags --robuste and
// --blocs where the subcommand takes them. Returns false with the
// French reason in `erreur`.
bool lisreglagesposte(const QMap<QString, QString>& valeurs, PosteReel::Reglages& reglages,
                      QString& erreur);

// The factors of the speed menu, as the help lists them.
QString facteursvitesse();

// A decimal in the French form the tool prints (two decimals, comma).
QString secondes(double s);
