// bench-rapide: the share of random messages that cross the virtual bench exactly in the
// fast codings, for each speed item, at four noise levels and three levels of room light
// on the photodiode, with the timing slips of a busy emitter (each change of the light
// moved by a Gaussian of 1, 2, 4 or 6 ms), and with 1 or 3 glitches of one sample (a flash
// in the darkness or a dip in the light), with three sets of decoding rules: the decoders as they
// were designed, the program's (mended) ones, and robust decoding. Two whole stations of the
// program on the simulated bench, in virtual time, through lumicom-banc; 6400-sample
// recordings. Station 2 receives with the program's rules; the samples it downloaded are
// then decoded again with the two other sets, so the three see the same light. Prints
// three tables and the regressions of the mended rules, asserts nothing.
//
// The cells run in child processes (this program called again with --case), two at a
// time by default.

#include "bench/enparallele.h"
#include "bench/exactitude.h"
#include "codes/windows1252.h"
#include "link/messagesqt.h"
#include "recording/messagerapide.h"
#include "tools/essailiaison.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <array>
#include <cstdio>
#include <optional>
#include <random>
#include <vector>

namespace {

constexpr double bruits[] = {0, 0.02, 0.05, 0.1};
constexpr double obscurites[] = {0.05, 0.3, 1};
// The timing slips of a busy emitter, standard deviation in seconds, in a dark room without
// noise.
constexpr double glissements[] = {0.001, 0.002, 0.004, 0.006};
// Glitches of one sample over the light of the message, in a dark room without noise.
constexpr int parasites[] = {1, 3};

// A column of the tables: the light on the photodiode.
struct Colonne {
    double obscurite; // volts without the laser
    double bruit;     // standard deviation of the readings' noise, volts
    double glissement = 0;
    int parasites = 0;
};

std::vector<Colonne> colonnes() {
    std::vector<Colonne> c;
    for (const double o : obscurites)
        for (const double b : bruits)
            c.push_back({o, b});
    for (const double g : glissements)
        c.push_back({obscurites[0], 0, g});
    for (const int p : parasites)
        c.push_back({obscurites[0], 0, 0, p});
    return c;
}
const std::vector<Colonne> lescolonnes = colonnes();

// The three rule sets, in the order of the tables.
constexpr std::array<Regles, 3> ensembles = {Regles::Conception, Regles::Corrigees,
                                             Regles::Robustes};
const char* const nomsensembles[] = {"Décodeurs conçus (sans correction)",
                                     "Décodeurs du programme (corrigés, par défaut)",
                                     "Décodage robuste (option)"};

QTextStream sortie(stdout);
QTextStream erreurs(stderr);

int tirage(std::mt19937& hasard, int min, int max) {
    return std::uniform_int_distribution<int>(min, max)(hasard);
}

// Every printable character of Windows-1252: 32 to 126 and 128 to 255 but the five
// codes the set leaves undefined; the no-break space (160) and ÿ (255) among them.
std::vector<QChar> imprimables() {
    std::vector<QChar> c;
    for (int code = 32; code <= 255; ++code) {
        if (code == 127 || code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 ||
            code == 0x9D)
            continue;
        c.push_back(caractereWindows1252(code));
    }
    return c;
}

// Texts short enough for a 6400-sample recording (8.3 s) at the slowest speed item.
// Morse: 1 or 2 words of 2 or 3 lower-case letters. Binary: 3 to 6 printable Windows-1252
// characters, not a blank first or last.
QString message(bool morse, std::mt19937& hasard) {
    QString texte;
    if (morse) {
        for (int m = tirage(hasard, 1, 2); m > 0; --m) {
            if (!texte.isEmpty())
                texte += u' ';
            for (int l = tirage(hasard, 2, 3); l > 0; --l)
                texte += QChar(u'a' + tirage(hasard, 0, 25));
        }
        return texte;
    }
    static const std::vector<QChar> caracteres = imprimables();
    const int longueur = tirage(hasard, 3, 6);
    while (texte.size() < longueur) {
        const QChar c = caracteres[size_t(tirage(hasard, 0, int(caracteres.size()) - 1))];
        if (c == u' ' && (texte.isEmpty() || texte.size() == longueur - 1))
            continue;
        texte += c;
    }
    return texte;
}

std::vector<QString> messages(bool morse, int nombre) {
    std::mt19937 hasard(morse ? 1905 : 1915);
    std::vector<QString> m;
    for (int i = 0; i < nombre; ++i)
        m.push_back(message(morse, hasard));
    return m;
}

// A text on one line of a child's output, its line breaks made visible, cut at 60
// characters.
QString visible(QString texte) {
    texte.replace(u'\n', QChar(0x240A));
    texte.replace(u'\r', QChar(0x240D));
    return texte.size() > 60 ? texte.left(60) + QChar(0x2026) : texte;
}

struct Case {
    bool morse;
    int article;
    int colonne; // index in lescolonnes
};

// What a cell gives: the messages received exactly with each rule set, and the messages
// the designed rules read exactly that the mended ones read otherwise.
struct Mesure {
    std::array<int, 3> exacts{};
    int regressions = 0;
};

// One exchange per message; each failure goes to `echecs`, with its rule set and the
// command that replays it.
Mesure mesureCase(const Case& c, int nombre, QStringList& echecs) {
    Mesure m;
    const std::vector<QString> textes = messages(c.morse, nombre);
    for (int i = 0; i < nombre; ++i) {
        EssaiLiaison essai;
        essai.codage = c.morse ? QStringLiteral("mr") : QStringLiteral("br");
        essai.vitesse = &articlesvitesse[size_t(c.article)];
        essai.texte = textes[size_t(i)];
        const Colonne& colonne = lescolonnes[size_t(c.colonne)];
        essai.lumiere.bruit = colonne.bruit;
        essai.lumiere.niveauObscur = colonne.obscurite;
        essai.lumiere.glissement = colonne.glissement;
        essai.lumiere.parasites = colonne.parasites;
        essai.lumiere.graine = std::uint64_t(2000 + i);
        // Each message starts at its own instant within 0.1 s, so the samples of the
        // recording fall on the light at their own phase, as in real exchanges.
        std::mt19937 hasard(std::uint32_t(3000 + i));
        essai.debutEnvoi = 2.0 + std::uniform_real_distribution<double>(0, 0.1)(hasard);
        const ResultatLiaison r = essaieliaison(essai);
        std::array<QString, 3> recus;
        if (r.receptions >= 1) {
            const SourceEchantillons source =
                depuistabmesures(r.tabmesures, r.nbmesures, r.tensionseuil);
            for (size_t e = 0; e < ensembles.size(); ++e)
                recus[e] = ensembles[e] == Regles::Corrigees
                               ? r.messagerecu
                               : messagerecurapide(source, c.morse, ensembles[e]);
        }
        // The designed decoders end their text with blanks for the darkness after it.
        std::array<bool, 3> exacts{};
        for (size_t e = 0; e < ensembles.size(); ++e)
            exacts[e] =
                r.receptions >= 1 &&
                recuExactementRapide(essai.texte, recus[e], ensembles[e] == Regles::Conception);
        for (size_t e = 0; e < ensembles.size(); ++e) {
            if (exacts[e]) {
                ++m.exacts[e];
                continue;
            }
            echecs
                << QStringLiteral("%1 : «%2» -> «%3» (bench-link --coding %4 --speed %5 "
                                  "--noise %6 --room-light %7 --seed %8 --offset %9%10)")
                       .arg(e == 0   ? QStringLiteral("conçus")
                            : e == 1 ? QStringLiteral("corrigés")
                                     : QStringLiteral("robuste"),
                            visible(essai.texte), visible(recus[e]), essai.codage,
                            QString::fromLatin1(essai.vitesse->facteur))
                       .arg(colonne.bruit)
                       .arg(colonne.obscurite)
                       .arg(essai.lumiere.graine)
                       .arg(essai.debutEnvoi, 0, 'g', 17)
                       .arg((colonne.glissement > 0
                                 ? QStringLiteral(" --glissement %1").arg(colonne.glissement * 1000)
                                 : QString()) +
                            (colonne.parasites > 0
                                 ? QStringLiteral(" --parasites %1").arg(colonne.parasites)
                                 : QString()) +
                            (e == 2 ? QStringLiteral(" --robuste") : QString()));
        }
        if (exacts[0] && !exacts[1])
            ++m.regressions;
    }
    return m;
}

QString nombre(double v) {
    return QString::number(v).replace(u'.', u',');
}

int usage(const QString& message) {
    erreurs << "bench-rapide : " << message << "\n"
            << "utilisation : bench-rapide [--messages N] [--processus P] [--exemples]\n"
               "                    [--colonnes LISTE]\n";
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    filtremessagesqt();

    int nombreMessages = 50;
    int processus = 2;
    bool exemples = false; // the failures listed under the tables
    std::optional<Case> caseSeule;
    // The columns measured, indices in the table's order; all of them by default.
    std::vector<int> choisies;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const qsizetype reste = arguments.size() - i - 1;
        bool entier = true;
        if (argument == u"--messages" && reste >= 1) {
            nombreMessages = arguments.at(++i).toInt(&entier);
            if (!entier || nombreMessages < 1)
                return usage(QStringLiteral("nombre de messages impossible"));
        } else if (argument == u"--processus" && reste >= 1) {
            processus = arguments.at(++i).toInt(&entier);
            if (!entier || processus < 1)
                return usage(QStringLiteral("nombre de processus impossible"));
        } else if (argument == u"--exemples") {
            exemples = true;
        } else if (argument == u"--colonnes" && reste >= 1) {
            for (const QString& c : arguments.at(++i).split(u',')) {
                const int colonne = c.toInt(&entier);
                if (!entier || colonne < 0 || colonne >= int(lescolonnes.size()))
                    return usage(QStringLiteral("colonne impossible « %1 »").arg(c));
                choisies.push_back(colonne);
            }
        } else if (argument == u"--case" && reste >= 3) {
            bool article = false, colonne = false;
            caseSeule = Case{arguments.at(i + 1) == u"mr", arguments.at(i + 2).toInt(&article),
                             arguments.at(i + 3).toInt(&colonne)};
            i += 3;
            if (!article || !colonne || caseSeule->article < 0 ||
                caseSeule->article >= int(articlesvitesse.size()) || caseSeule->colonne < 0 ||
                caseSeule->colonne >= int(lescolonnes.size()))
                return usage(QStringLiteral("case impossible"));
        } else if (argument == u"-h" || argument == u"--help") {
            sortie
                << "utilisation : bench-rapide [--messages N] [--processus P] [--exemples]\n"
                   "                    [--colonnes LISTE]\n"
                   "  N messages aléatoires par case (50), P processus à la fois (2) ;\n"
                   "  --exemples : la liste des échecs, chacun avec la commande qui le rejoue ;\n"
                   "  --colonnes : les seules colonnes mesurées, de 0 à 17 dans l'ordre du\n"
                   "  tableau, séparées par des virgules (16,17 : les parasites).\n";
            return 0;
        } else {
            return usage(QStringLiteral("argument inattendu « %1 »").arg(argument));
        }
    }
    if (caseSeule) {
        QStringList echecs;
        const Mesure m = mesureCase(*caseSeule, nombreMessages, echecs);
        sortie << m.exacts[0] << ' ' << m.exacts[1] << ' ' << m.exacts[2] << ' ' << m.regressions
               << '\n';
        for (const QString& e : echecs)
            sortie << e << '\n';
        return 0;
    }

    if (choisies.empty())
        for (int colonne = 0; colonne < int(lescolonnes.size()); ++colonne)
            choisies.push_back(colonne);
    std::vector<Case> cases;
    std::vector<QStringList> lignes;
    for (const bool morse : {true, false})
        for (int article = 0; article < int(articlesvitesse.size()); ++article)
            for (const int colonne : choisies) {
                cases.push_back({morse, article, colonne});
                lignes.push_back({QStringLiteral("--case"),
                                  morse ? QStringLiteral("mr") : QStringLiteral("br"),
                                  QString::number(article), QString::number(colonne),
                                  QStringLiteral("--messages"), QString::number(nombreMessages)});
            }

    sortie << "Codages rapides sur le banc virtuel, en temps virtuel, enregistrements de 6400 "
              "mesures\n"
           << nombreMessages << " messages aléatoires par case, les mêmes dans chaque case d'un "
           << "codage (Morse : 1 ou 2 mots de 2 ou 3 minuscules ; binaire : 3 à 6 caractères\n"
              "Windows-1252 imprimables, ÿ et l'espace insécable compris). Reçu exactement : "
              "messagerecu = le texte\nenvoyé ; pour les décodeurs conçus, suivi des blancs "
              "qu'ils donnent à l'obscurité qui suit le\nmessage. o : tension de la photodiode "
              "sans laser (lumière de la salle), en volts ; b : écart\ntype du bruit de lecture, "
              "en volts ; laser : 3 V. Chaque message part à un instant tiré entre\n0 et 0,1 s : "
              "les mesures tombent sur la lumière à une phase qui change d'un message à "
              "l'autre.\nLe poste 2 reçoit avec les décodeurs du programme ; ses mesures sont "
              "décodées à nouveau avec les\ndeux autres jeux de règles.\nColonnes g : les "
              "glissements d'un émetteur occupé, chaque changement de la lumière déplacé d'un\n"
              "tirage gaussien d'écart type g ms (salle sombre, o 0,05 V, sans bruit).\nColonnes "
              "p : p parasites d'une mesure (1,3 ms), chacun un éclair dans l'obscurité ou un "
              "creux dans\nla lumière selon où il tombe, tirés entre la fin de la marque de début "
              "et l'obscurité qui suit\nle dernier élément du message (préambule compris), à "
              "20 ms au moins l'un de l'autre (salle\nsombre, o 0,05 V, sans bruit).\n\n";
    sortie.flush();
    QElapsedTimer chrono;
    chrono.start();
    const std::vector<std::optional<QByteArray>> resultats = lanceenparallele(lignes, processus);

    // A child's output: its counts on the first line, then one line per failure.
    std::vector<std::optional<Mesure>> mesures;
    QStringList listeEchecs;
    for (size_t n = 0; n < cases.size(); ++n) {
        QStringList l =
            resultats[n] ? QString::fromUtf8(*resultats[n]).split(u'\n') : QStringList();
        const QStringList comptes = l.isEmpty() ? QStringList() : l.takeFirst().split(u' ');
        if (comptes.size() != 4) {
            mesures.emplace_back();
            continue;
        }
        Mesure m;
        for (size_t e = 0; e < 3; ++e)
            m.exacts[e] = comptes[qsizetype(e)].toInt();
        m.regressions = comptes[3].toInt();
        mesures.push_back(m);
        const Case& c = cases[n];
        for (const QString& echec : l)
            if (!echec.isEmpty())
                listeEchecs << QStringLiteral("%1 x %2 : %3")
                                   .arg(c.morse ? QStringLiteral("morse")
                                                : QStringLiteral("binaire"))
                                   .arg(QString::fromLatin1(
                                       articlesvitesse[size_t(c.article)].facteur))
                                   .arg(echec);
    }

    QString entete = QStringLiteral("%1 %2")
                         .arg(QStringLiteral("codage"), -8)
                         .arg(QStringLiteral("vitesse"), -8);
    for (const int colonne : choisies) {
        const Colonne& c = lescolonnes[size_t(colonne)];
        entete += QStringLiteral(" %1").arg(
            c.parasites > 0 ? QStringLiteral("p%1").arg(c.parasites)
            : c.glissement > 0
                ? QStringLiteral("g%1 ms").arg(nombre(c.glissement * 1000))
                : QStringLiteral("o%1/b%2").arg(nombre(c.obscurite), nombre(c.bruit)),
            10);
    }
    const size_t parLigne = choisies.size();
    for (size_t e = 0; e < ensembles.size(); ++e) {
        sortie << nomsensembles[e] << '\n'
               << entete << (e == 1 ? QStringLiteral("  régressions") : QString()) << '\n';
        int regressions = 0;
        for (size_t n = 0; n < cases.size(); ++n) {
            const Case& c = cases[n];
            if (n % parLigne == 0) {
                sortie << QStringLiteral("%1 x %2")
                              .arg(c.morse ? QStringLiteral("morse") : QStringLiteral("binaire"),
                                   -8)
                              .arg(QString::fromLatin1(articlesvitesse[size_t(c.article)].facteur)
                                       .replace(u'.', u','),
                                   -6);
                regressions = 0;
            }
            const QString cellule =
                mesures[n] ? QStringLiteral("%1 %").arg(
                                 std::lround(100.0 * mesures[n]->exacts[e] / nombreMessages))
                           : QStringLiteral("?");
            if (mesures[n])
                regressions += mesures[n]->regressions;
            sortie << QStringLiteral(" %1").arg(cellule, 10);
            if (n % parLigne == parLigne - 1) {
                if (e == 1)
                    sortie << QStringLiteral(" %1").arg(regressions, 12);
                sortie << '\n';
            }
        }
        sortie << '\n';
    }
    sortie << "régressions : messages que les décodeurs conçus lisent exactement (leurs blancs "
              "de fin mis à part)\net que les décodeurs corrigés lisent autrement, sur la "
              "ligne.\n";
    if (exemples) {
        sortie << "\nÉchecs (envoyé -> messagerecu, puis la commande qui le rejoue) :\n";
        for (const QString& e : listeEchecs)
            sortie << "  " << e << '\n';
    }
    sortie << "\nDurée : " << QString::number(double(chrono.elapsed()) / 1000, 'f', 1) << " s pour "
           << cases.size() * size_t(nombreMessages) << " échanges sur " << processus
           << " processus.\n";
    return 0;
}
