// bench-rapide: the share of random messages that cross the virtual bench exactly in the
// fast codings, for each speed item, at three noise levels and two levels of room light on
// the photodiode. Two whole stations of the program on the simulated bench, in virtual
// time, through lumicom-banc; 6400-sample recordings. Prints a table, asserts nothing.
//
// The cells run in child processes (this program called again with --case), two at a
// time by default.

#include "bench/enparallele.h"
#include "codes/windows1252.h"
#include "tools/essailiaison.h"
#include "tools/messagesqt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <cstdio>
#include <optional>
#include <random>
#include <vector>

namespace {

constexpr double bruits[] = {0, 0.02, 0.05};
constexpr double obscurites[] = {0.05, 0.3};

QTextStream sortie(stdout);
QTextStream erreurs(stderr);

int tirage(std::mt19937& hasard, int min, int max) {
    return std::uniform_int_distribution<int>(min, max)(hasard);
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
    const int longueur = tirage(hasard, 3, 6);
    while (texte.size() < longueur) {
        int code = tirage(hasard, 0, 95 + 96 - 1);
        code = code < 95 ? 32 + code : 160 + code - 95;
        if (code == 32 && (texte.isEmpty() || texte.size() == longueur - 1))
            continue;
        texte += caractereWindows1252(code);
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

QString sansBlancsFinaux(QString texte) {
    while (texte.endsWith(u' '))
        texte.chop(1);
    return texte;
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
    int bruit;     // index in bruits
    int obscurite; // index in obscurites
};

// The number of messages received exactly, the text sent with only the blanks of the
// darkness after it added; each failure goes to `echecs`.
int mesureCase(const Case& c, int nombre, QStringList& echecs) {
    int reussis = 0;
    const std::vector<QString> textes = messages(c.morse, nombre);
    for (int i = 0; i < nombre; ++i) {
        EssaiLiaison essai;
        essai.codage = c.morse ? QStringLiteral("mr") : QStringLiteral("br");
        essai.vitesse = &articlesVitesse[size_t(c.article)];
        essai.texte = textes[size_t(i)];
        essai.lumiere.bruit = bruits[c.bruit];
        essai.lumiere.niveauObscur = obscurites[c.obscurite];
        essai.lumiere.graine = std::uint64_t(2000 + i);
        // Each message starts at its own instant within 0.1 s, so the samples of the
        // recording fall on the light at their own phase, as in real exchanges.
        std::mt19937 hasard(std::uint32_t(3000 + i));
        essai.debutEnvoi = 2.0 + std::uniform_real_distribution<double>(0, 0.1)(hasard);
        const ResultatLiaison r = essaieliaison(essai);
        if (r.receptions >= 1 && sansBlancsFinaux(r.messagerecu) == essai.texte)
            ++reussis;
        else
            echecs
                << QStringLiteral("«%1» -> «%2»").arg(visible(essai.texte), visible(r.messagerecu));
    }
    return reussis;
}

QString nombre(double v) {
    return QString::number(v).replace(u'.', u',');
}

int usage(const QString& message) {
    erreurs << "bench-rapide : " << message << "\n"
            << "utilisation : bench-rapide [--messages N] [--processus P] [--exemples]\n";
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ignoreavertissementsoffscreen();

    int nombreMessages = 10;
    int processus = 2;
    bool exemples = false; // the failures listed under the table
    std::optional<Case> caseSeule;
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
        } else if (argument == u"--case" && reste >= 4) {
            caseSeule = Case{arguments.at(i + 1) == u"mr", arguments.at(i + 2).toInt(),
                             arguments.at(i + 3).toInt(), arguments.at(i + 4).toInt()};
            i += 4;
        } else {
            return usage(QStringLiteral("argument inattendu « %1 »").arg(argument));
        }
    }
    if (caseSeule) {
        QStringList echecs;
        sortie << mesureCase(*caseSeule, nombreMessages, echecs) << '\n';
        for (const QString& e : echecs)
            sortie << e << '\n';
        return 0;
    }

    std::vector<Case> cases;
    std::vector<QStringList> lignes;
    for (const bool morse : {true, false})
        for (int article = 0; article < int(articlesVitesse.size()); ++article)
            for (int b = 0; b < int(std::size(bruits)); ++b)
                for (int o = 0; o < int(std::size(obscurites)); ++o) {
                    cases.push_back({morse, article, b, o});
                    lignes.push_back({QStringLiteral("--case"),
                                      morse ? QStringLiteral("mr") : QStringLiteral("br"),
                                      QString::number(article), QString::number(b),
                                      QString::number(o), QStringLiteral("--messages"),
                                      QString::number(nombreMessages)});
                }

    sortie << "Codages rapides sur le banc virtuel, en temps virtuel, enregistrements de 6400 "
              "mesures\n"
           << nombreMessages << " messages aléatoires par case, les mêmes dans chaque case d'un "
           << "codage (Morse : 1 ou 2 mots de 2 ou 3 minuscules ; binaire : 3 à 6 caractères\n"
           << "Windows-1252 imprimables). Reçu exactement : messagerecu = le texte envoyé suivi "
              "des blancs\nde l'obscurité qui suit le message. Bruit : écart type en volts ; "
              "obscurité : tension de la\nphotodiode sans laser (lumière de la salle), en "
              "volts ; laser : 3 V. Chaque message part à\nun instant tiré entre 0 et 0,1 s : "
              "les mesures de l'enregistrement tombent sur la lumière à\nune phase qui change "
              "d'un message à l'autre, comme d'un échange réel à l'autre.\n\n";
    sortie.flush();
    QElapsedTimer chrono;
    chrono.start();
    const std::vector<std::optional<QByteArray>> resultats = lanceenparallele(lignes, processus);

    QString entete = QStringLiteral("%1 %2")
                         .arg(QStringLiteral("codage"), -8)
                         .arg(QStringLiteral("vitesse"), -8);
    for (const double b : bruits)
        for (const double o : obscurites)
            entete +=
                QStringLiteral(" %1").arg(QStringLiteral("b%1/o%2").arg(nombre(b), nombre(o)), 11);
    sortie << entete << '\n';
    const size_t parLigne = std::size(bruits) * std::size(obscurites);
    QStringList listeEchecs;
    for (size_t n = 0; n < cases.size(); ++n) {
        const Case& c = cases[n];
        if (n % parLigne == 0)
            sortie << QStringLiteral("%1 x %2")
                          .arg(c.morse ? QStringLiteral("morse") : QStringLiteral("binaire"), -8)
                          .arg(QString::fromLatin1(articlesVitesse[size_t(c.article)].facteur)
                                   .replace(u'.', u','),
                               -6);
        // A child's output: the count on its first line, then one line per failure.
        QStringList lignesCase =
            resultats[n] ? QString::fromUtf8(*resultats[n]).split(u'\n') : QStringList();
        const QString cellule = lignesCase.isEmpty()
                                    ? QStringLiteral("?")
                                    : QStringLiteral("%1 %").arg(std::lround(
                                          100.0 * lignesCase.takeFirst().toInt() / nombreMessages));
        for (const QString& echec : lignesCase)
            if (!echec.isEmpty())
                listeEchecs << QStringLiteral("%1 x %2, bruit %3, obscurité %4 : %5")
                                   .arg(c.morse ? QStringLiteral("morse")
                                                : QStringLiteral("binaire"))
                                   .arg(QString::fromLatin1(
                                       articlesVitesse[size_t(c.article)].facteur))
                                   .arg(bruits[c.bruit])
                                   .arg(obscurites[c.obscurite])
                                   .arg(echec);
        sortie << QStringLiteral(" %1").arg(cellule, 11);
        if (n % parLigne == parLigne - 1)
            sortie << '\n';
    }
    if (exemples) {
        sortie << "\nÉchecs (envoyé -> messagerecu) :\n";
        for (const QString& e : listeEchecs)
            sortie << "  " << e << '\n';
    }
    sortie << "\nDurée : " << QString::number(double(chrono.elapsed()) / 1000, 'f', 1) << " s pour "
           << cases.size() * size_t(nombreMessages) << " échanges sur " << processus
           << " processus.\n";
    return 0;
}
