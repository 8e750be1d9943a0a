// bench-robustesse: the share of random messages that cross the virtual bench exactly, for
// each slow coding, each speed item and both sampling intervals, with a noisy light (noise
// 0.05 V, flicker 0.1 V at 100 Hz), on time and with the timing slips of a busy emitter
// (each change of the light moved by a Gaussian of 10 or 30 ms, and one change in fifty
// stalled 100 ms more). Two whole stations of the program on the simulated bench, in
// virtual time, through lumicom-banc. Prints a table, asserts nothing.
//
// The 132 cells (coding, speed item, interval, slips) run in child processes, this program
// called again with --case, two at a time by default: each child keeps its stations and
// their widgets on its own main thread.

#include "bench/enparallele.h"
#include "bench/exactitude.h"
#include "codes/windows1252.h"
#include "link/messagesqt.h"
#include "tools/essailiaison.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>
#include <QtGlobal>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <optional>
#include <random>
#include <vector>

namespace {

constexpr double bruit = 0.05;
constexpr double scintillement = 0.1;
constexpr int intervalles[] = {30, 50};
// The slips of the emitter's light changes, standard deviation in seconds (0: on time), and
// the share of changes stalled 100 ms more when they slip.
constexpr double glissements[] = {0, 0.010, 0.030};
constexpr double proportionArrets = 0.02;

QTextStream sortie(stdout);
QTextStream erreurs(stderr);

int tirage(std::mt19937& hasard, int min, int max) {
    return std::uniform_int_distribution<int>(min, max)(hasard);
}

// Morse: 1 to 3 words of 2 to 6 lower-case letters, one blank between words.
QString messageMorse(std::mt19937& hasard) {
    QStringList mots;
    for (int m = tirage(hasard, 1, 3); m > 0; --m) {
        QString mot;
        for (int l = tirage(hasard, 2, 6); l > 0; --l)
            mot += QChar(u'a' + tirage(hasard, 0, 25));
        mots << mot;
    }
    return mots.join(u' ');
}

// Binary: 3 to 8 printable Windows-1252 characters (codes 32 to 126 and 160 to 255). Not a
// blank first or last, nor two blanks in a row: the emitter's timing makes those blanks
// unreadable by design (a closing blank only lengthens the darkness before the end mark;
// an opening one merges with the darkness after the start mark; two blanks make 1.704 f
// of darkness between two characters, one gap unit, read as one blank).
QString messageBinaire(std::mt19937& hasard) {
    QString texte;
    const int longueur = tirage(hasard, 3, 8);
    while (texte.size() < longueur) {
        int code = tirage(hasard, 0, 95 + 96 - 1);
        code = code < 95 ? 32 + code : 160 + code - 95;
        const bool bord = texte.isEmpty() || texte.size() == longueur - 1;
        if (code == 32 && (bord || texte.endsWith(u' ')))
            continue;
        texte += caractereWindows1252(code);
    }
    return texte;
}

QString facteurAffiche(const ArticleVitesse& article) {
    return QStringLiteral("x ") + QString::fromLatin1(article.facteur).replace(u'.', u',');
}

// A text between guillemets, its line breaks and no-break spaces made visible.
QString visible(QString texte) {
    texte.replace(u'\n', QChar(0x240A));
    texte.replace(u'\r', QChar(0x240D));
    texte.replace(QChar(0x00A0), QChar(0x237D));
    return u'«' + texte + u'»';
}

int usage(const QString& message) {
    erreurs << "bench-robustesse : " << message << "\n"
            << "utilisation : bench-robustesse [--messages N] [--processus P] [--exemples]\n";
    return 2;
}

// The messages of a coding, always the same for a given count.
std::vector<QString> messagesAleatoires(bool morse, int nombre) {
    std::mt19937 hasard(morse ? 1871 : 1874);
    std::vector<QString> messages;
    for (int i = 0; i < nombre; ++i)
        messages.push_back(morse ? messageMorse(hasard) : messageBinaire(hasard));
    return messages;
}

// One cell of the table: a coding, a speed item (index in the menu), an interval, the
// slips (index in glissements).
struct Case {
    bool morse;
    int article;
    int intervalle;
    int glissement = 0;
};

QString nomGlissement(int g) {
    return glissements[g] == 0 ? QString()
                               : QStringLiteral(" g%1").arg(std::lround(glissements[g] * 1000));
}

struct ResultatCase {
    bool mesure = false;
    int reussis = 0;
    int echecsInsecable = 0; // failures on binary messages holding a no-break space
    QStringList exemples;    // the first failures on the other messages
};

QString nomCase(const Case& c) {
    return QStringLiteral("%1 %2 %3 ms%4")
        .arg(c.morse ? QStringLiteral("morse") : QStringLiteral("binaire"),
             facteurAffiche(articlesvitesse[size_t(c.article)]))
        .arg(c.intervalle)
        .arg(nomGlissement(c.glissement));
}

// Sends every message once with the cell's settings; the noise seed is the message's rank,
// the same in every cell.
ResultatCase mesureCase(const Case& c, int nombre, int exemples) {
    ResultatCase r;
    r.mesure = true;
    const ArticleVitesse& article = articlesvitesse[size_t(c.article)];
    const std::vector<QString> messages = messagesAleatoires(c.morse, nombre);
    for (int i = 0; i < nombre; ++i) {
        EssaiLiaison essai;
        essai.codage = c.morse ? QStringLiteral("m") : QStringLiteral("b");
        essai.vitesse = &article;
        essai.intervalle = c.intervalle;
        essai.texte = messages[size_t(i)];
        essai.lumiere.bruit = bruit;
        essai.lumiere.scintillement = scintillement;
        essai.lumiere.graine = std::uint64_t(1000 + i);
        essai.lumiere.glissement = glissements[c.glissement];
        essai.lumiere.proportionArrets = glissements[c.glissement] > 0 ? proportionArrets : 0;
        const ResultatLiaison resultat = essaieliaison(essai);
        if (recuExactement(essai.texte, resultat.messagerecu, c.morse)) {
            ++r.reussis;
        } else if (!c.morse && essai.texte.contains(QChar(0x00A0))) {
            ++r.echecsInsecable;
        } else if (r.exemples.size() < exemples) {
            r.exemples << QStringLiteral("%1 : %2 -> %3 (code %4 ; bench-link --coding %5 "
                                         "--speed %6 --interval %7 --noise %8 --flicker %9 "
                                         "--seed %10%11)")
                              .arg(nomCase(c), visible(essai.texte), visible(resultat.messagerecu),
                                   visible(resultat.code), essai.codage,
                                   QString::fromLatin1(article.facteur))
                              .arg(c.intervalle)
                              .arg(bruit)
                              .arg(scintillement)
                              .arg(essai.lumiere.graine)
                              .arg(glissements[c.glissement] > 0
                                       ? QStringLiteral(" --glissement %1 --arrets %2")
                                             .arg(glissements[c.glissement] * 1000)
                                             .arg(proportionArrets)
                                       : QString());
        }
    }
    return r;
}

// A cell measured by a child process: its first line "reussis echecsInsecable", then one
// line per example.
ResultatCase litResultatCase(const QByteArray& sortieEnfant) {
    ResultatCase r;
    QStringList lignes = QString::fromUtf8(sortieEnfant).split(u'\n', Qt::SkipEmptyParts);
    if (lignes.isEmpty())
        return r;
    const QStringList nombres = lignes.takeFirst().split(u' ');
    if (nombres.size() != 2)
        return r;
    r.mesure = true;
    r.reussis = nombres.at(0).toInt();
    r.echecsInsecable = nombres.at(1).toInt();
    r.exemples = lignes;
    return r;
}

// Measures the cells in child processes, `processus` at a time.
std::vector<ResultatCase> mesureEnParallele(const std::vector<Case>& cases, int nombre,
                                            int exemples, int processus) {
    std::vector<QStringList> arguments;
    for (const Case& c : cases) {
        arguments.push_back(
            {QStringLiteral("--case"), c.morse ? QStringLiteral("m") : QStringLiteral("b"),
             QString::number(c.article), QString::number(c.intervalle),
             QString::number(c.glissement), QStringLiteral("--messages"), QString::number(nombre)});
        if (exemples > 0)
            arguments.back() << QStringLiteral("--exemples");
    }
    const std::vector<std::optional<QByteArray>> sorties = lanceenparallele(arguments, processus);
    std::vector<ResultatCase> resultats(cases.size());
    for (size_t n = 0; n < cases.size(); ++n)
        if (sorties[n])
            resultats[n] = litResultatCase(*sorties[n]);
    return resultats;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    filtremessagesqt();

    int nombre = 100;
    int processus = 2;
    int exemples = 0; // failures shown per cell
    std::optional<Case> caseSeule;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const qsizetype reste = arguments.size() - i - 1;
        bool entier = true;
        if (argument == u"--exemples") {
            exemples = 3;
        } else if (argument == u"--messages" && reste >= 1) {
            nombre = arguments.at(++i).toInt(&entier);
            if (!entier || nombre < 1)
                return usage(
                    QStringLiteral("nombre de messages impossible « %1 »").arg(arguments.at(i)));
        } else if (argument == u"--processus" && reste >= 1) {
            processus = arguments.at(++i).toInt(&entier);
            if (!entier || processus < 1)
                return usage(
                    QStringLiteral("nombre de processus impossible « %1 »").arg(arguments.at(i)));
        } else if (argument == u"--case" && reste >= 4) {
            // A child's cell: coding, index of the speed item, interval, index of the slips.
            bool glissement = true;
            Case c{arguments.at(i + 1) == u"m", arguments.at(i + 2).toInt(&entier),
                   arguments.at(i + 3).toInt(), arguments.at(i + 4).toInt(&glissement)};
            i += 4;
            if (!entier || c.article < 0 || c.article >= int(articlesvitesse.size()) ||
                !glissement || c.glissement < 0 || c.glissement >= int(std::size(glissements)))
                return usage(QStringLiteral("case impossible"));
            caseSeule = c;
        } else {
            return usage(QStringLiteral("argument inattendu « %1 »").arg(argument));
        }
    }

    if (caseSeule) {
        const ResultatCase r = mesureCase(*caseSeule, nombre, exemples);
        sortie << r.reussis << ' ' << r.echecsInsecable << '\n';
        for (const QString& exemple : r.exemples)
            sortie << exemple << '\n';
        return 0;
    }

    int avecInsecable = 0;
    for (const QString& message : messagesAleatoires(false, nombre))
        avecInsecable += message.contains(QChar(0x00A0)) ? 1 : 0;

    sortie
        << "Robustesse des codages lents sur le banc virtuel, en temps virtuel\n"
        << "Lumière : bruit " << QString::number(bruit).replace(u'.', u',')
        << " V (écart type), scintillement " << QString::number(scintillement).replace(u'.', u',')
        << " V à 100 Hz.\n"
        << nombre << " messages aléatoires par case, les mêmes (et les mêmes graines) dans "
        << "chaque case d'un codage.\n"
        << "Morse : 1 à 3 mots de 2 à 6 minuscules. Binaire : 3 à 8 caractères Windows-1252\n"
           "imprimables (32 à 126, 160 à 255), sans blanc au début ni à la fin ni deux blancs\n"
           "de suite.\n"
        << "Reçu exactement : messagerecu = le texte envoyé, sans blanc de plus ni de moins\n"
           "(l'obscurité qui suit la marque de début et celle qui précède la marque de fin ne\n"
           "donnent pas de blanc).\n"
           "Colonnes gN : les glissements d'un émetteur occupé, chaque changement de la lumière\n"
           "déplacé d'un tirage gaussien d'écart type N ms, et "
        << QString::number(proportionArrets * 100).replace(u'.', u',')
        << " % des changements retardés\nde 100 ms de plus.\n\n";
    sortie.flush();

    std::vector<Case> cases;
    for (const bool morse : {true, false})
        for (int article = 0; article < int(articlesvitesse.size()); ++article)
            for (int g = 0; g < int(std::size(glissements)); ++g)
                for (const int intervalle : intervalles)
                    cases.push_back({morse, article, intervalle, g});

    QElapsedTimer chrono;
    chrono.start();
    const std::vector<ResultatCase> resultats =
        mesureEnParallele(cases, nombre, exemples, processus);
    const double secondes = double(chrono.elapsed()) / 1000;

    sortie << QStringLiteral("%1 %2")
                  .arg(QStringLiteral("codage"), -8)
                  .arg(QStringLiteral("vitesse"), -8);
    for (int g = 0; g < int(std::size(glissements)); ++g)
        for (const int intervalle : intervalles)
            sortie << QStringLiteral(" %1").arg(
                QStringLiteral("%1 ms%2").arg(intervalle).arg(nomGlissement(g)), 10);
    sortie << '\n';
    const std::size_t parLigne = std::size(intervalles) * std::size(glissements);
    int echecsInsecable = 0;
    QStringList exemplesTous;
    for (size_t n = 0; n < cases.size(); ++n) {
        const Case& c = cases[n];
        const ResultatCase& r = resultats[n];
        if (n % parLigne == 0)
            sortie << QStringLiteral("%1 %2")
                          .arg(c.morse ? QStringLiteral("morse") : QStringLiteral("binaire"), -8)
                          .arg(facteurAffiche(articlesvitesse[size_t(c.article)]), -8);
        sortie << QStringLiteral(" %1").arg(
            r.mesure ? QStringLiteral("%1 %").arg(std::lround(100.0 * r.reussis / nombre))
                     : QStringLiteral("?"),
            10);
        if (n % parLigne == parLigne - 1)
            sortie << "\n";
        echecsInsecable += r.echecsInsecable;
        exemplesTous << r.exemples;
    }

    const int echanges = int(cases.size()) * nombre;
    sortie << "\nMessages binaires contenant une espace insécable (U+00A0) : " << avecInsecable
           << " sur " << nombre << " ; échecs sur ces messages, toutes cases : " << echecsInsecable
           << " sur " << avecInsecable * int(cases.size() / 2) << ".\n";
    sortie << "Durée : " << QString::number(secondes, 'f', 1) << " s pour " << echanges
           << " échanges sur " << processus << " processus, "
           << QString::number(1000 * secondes * processus / echanges, 'f', 1)
           << " ms par échange et par processus.\n";
    if (exemples) {
        sortie
            << "\nTrois premiers échecs de chaque case, hors messages à espace insécable "
               "(envoyé -> messagerecu, chaîne de code et la commande qui le rejoue ; ⍽ : espace "
               "insécable) :\n";
        for (const QString& l : exemplesTous)
            sortie << "  " << l << "\n";
    }
    return 0;
}
