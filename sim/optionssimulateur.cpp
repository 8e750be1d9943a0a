#include "sim/optionssimulateur.h"

#include "lumicomversion.h"

#include <QCommandLineParser>
#include <QDir>
#include <cmath>
#include <optional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

constexpr int interfacesMaximum = 32;

QString nombre(double valeur) {
    return QString::number(valeur, 'g', 6);
}

// One option: its name, the name of its value in the help (empty for a switch), its help
// text, and for a setting its default, taken from ReglagesBanc{} so that the help never
// disagrees with the code (the %1 of the help text).
struct Option {
    const char* nom;
    const char* valeur;
    const char* aide;
    QString (*defaut)(const ReglagesBanc&) = nullptr;
};

using R = const ReglagesBanc&;

// In the order of the help.
const Option options[] = {
    {"dir", "DOSSIER",
     "dossier où publier les ports COM1, COM2... (liens vers les pseudo-terminaux) ;\n"
     "défaut : $XDG_RUNTIME_DIR/lumicom-sim, ou /tmp/lumicom-sim-<uid> quand\n"
     "XDG_RUNTIME_DIR n'est pas définie"},
    {"interfaces", "N", "nombre d'interfaces simulées, de 1 à 32 (défaut : %1)",
     [](R d) { return QString::number(d.nombreInterfaces); }},
    {"boucle-locale", "",
     "le laser de chaque poste éclaire sa propre photodiode\n"
     "(sans cette option, COM1 et COM2 se font face, COM3 et COM4, etc.)"},
    {"journal", "FICHIER",
     "journal des événements, une ligne chacun ; « - » pour la sortie standard\n"
     "(défaut : journal.txt dans le dossier des ports)"},
    {"journal-max", "MO",
     "taille du journal en mégaoctets au-delà de laquelle il repart de zéro, la partie\n"
     "précédente gardée dans FICHIER.1 ; 0 : sans limite (défaut : 10)"},
    {"delai-reponse", "S", "délai de réponse de l'interface, en secondes (défaut : %1)",
     [](R d) { return nombre(d.interface.delaiReponse); }},
    {"periode-echantillonnage", "S",
     "période d'échantillonnage d'un enregistrement, en secondes (défaut : %1)",
     [](R d) { return nombre(d.interface.periodeEchantillonnage); }},
    {"silence", "S",
     "silence après lequel une commande sans fin de ligne est exécutée,\n"
     "en secondes (défaut : %1, deux octets à 9600 bauds)",
     [](R d) { return nombre(d.interface.silenceExecution); }},
    {"obscur", "V", "tension lue sur EA0 dans l'obscurité, de 0 à 5 V (défaut : %1)",
     [](R d) { return nombre(d.lumiere.niveauObscur); }},
    {"eclaire", "V", "tension lue sur EA0 sous le laser, de 0 à 5 V (défaut : %1)",
     [](R d) { return nombre(d.lumiere.niveauEclaire); }},
    {"bruit", "V", "écart type du bruit sur EA0, en volts (défaut : %1)",
     [](R d) { return nombre(d.lumiere.bruit); }},
    {"scintillement", "V",
     "amplitude du scintillement à 100 Hz de l'éclairage de la salle, en volts (défaut : %1)",
     [](R d) { return nombre(d.lumiere.scintillement); }},
    {"temps-reponse", "S", "constante de temps de la photodiode, en secondes (défaut : %1)",
     [](R d) { return nombre(d.lumiere.tempsReponse); }},
    {"glissement", "MS",
     "glissements d'un émetteur occupé : chaque changement du laser atteint la photodiode\n"
     "déplacé d'un tirage gaussien de cet écart type, en millisecondes (défaut : %1)",
     [](R d) { return nombre(d.lumiere.glissement * 1000); }},
    {"arrets", "P",
     "à-coups d'un émetteur occupé : cette part des changements du laser, de 0 à 1,\n"
     "arrive en plus %1 ms plus tard (défaut : aucune)",
     [](R d) { return nombre(d.lumiere.dureeArret * 1000); }},
    {"graine", "N", "graine du bruit, pour rejouer une séance à l'identique (défaut : %1)",
     [](R d) { return QString::number(d.lumiere.graine); }},
    {"muette", "N", "panne : l'interface du port N exécute les commandes sans jamais répondre"},
    {"charabia", "N", "panne : l'interface du port N répond des lettres à la place des chiffres"},
    {"retard", "N:SECONDES", "panne : l'interface du port N répond avec ce retard en plus"},
    {"coupure", "N:REQUETES[:SECONDES]",
     "panne : la connexion du port N se coupe après REQUETES requêtes XRESUL servies\n"
     "(0 : dès la première) ; le port disparaît alors, et revient SECONDES plus tard\n"
     "si elles sont données (un nouveau pseudo-terminal sous le même nom)"},
    {"blocage", "N:REQUETES",
     "panne : l'interface du port N se bloque après REQUETES requêtes XRESUL servies :\n"
     "elle n'y répond plus, la liaison reste ouverte"},
    {"lumiere-bloquee", "N:allumee|eteinte",
     "panne : la photodiode du port N reste éclairée, ou dans le noir"},
    {"version", "", "affiche la version du programme"},
    {"help", "", "affiche cette aide"},
};

// Reads the values of the options one after the other, remembering the first error.
class Lecteur {
public:
    explicit Lecteur(const QCommandLineParser& parseur) : parseur_(parseur) {}

    bool enErreur() const { return !erreur_.isEmpty(); }
    const QString& erreur() const { return erreur_; }

    enum class Domaine { PositifOuNul, Positif, Tension, Proportion };

    void reel(const char* nom, double& cible, Domaine domaine) {
        if (!parseur_.isSet(QLatin1String(nom)))
            return;
        const QString texte = parseur_.value(QLatin1String(nom));
        const std::optional<double> v = lisReel(texte);
        if (!v || *v < 0 || (domaine == Domaine::Positif && *v == 0) ||
            (domaine == Domaine::Tension && *v > 5) || (domaine == Domaine::Proportion && *v > 1)) {
            echoue(nom, texte,
                   domaine == Domaine::Positif
                       ? QStringLiteral("un nombre plus grand que 0 est attendu")
                   : domaine == Domaine::Tension
                       ? QStringLiteral("une tension de 0 à 5 V est attendue")
                   : domaine == Domaine::Proportion
                       ? QStringLiteral("une part de 0 à 1 est attendue")
                       : QStringLiteral("un nombre positif ou nul est attendu"));
            return;
        }
        cible = *v;
    }

    void entier(const char* nom, int& cible, int minimum, int maximum) {
        if (!parseur_.isSet(QLatin1String(nom)))
            return;
        const QString texte = parseur_.value(QLatin1String(nom));
        bool ok = false;
        const int v = texte.toInt(&ok);
        if (!ok || v < minimum || v > maximum) {
            echoue(nom, texte,
                   QStringLiteral("un entier de %1 à %2 est attendu").arg(minimum).arg(maximum));
            return;
        }
        cible = v;
    }

    void graine(std::uint64_t& cible) {
        if (!parseur_.isSet(QStringLiteral("graine")))
            return;
        const QString texte = parseur_.value(QStringLiteral("graine"));
        bool ok = false;
        const qulonglong v = texte.toULongLong(&ok);
        if (!ok) {
            echoue("graine", texte, QStringLiteral("un entier positif ou nul est attendu"));
            return;
        }
        cible = v;
    }

    // The faults, each value "N" or "N:PARAMETRE" naming a port of the bench; `applique`
    // sets the fault and returns what is wrong with the parameter, if anything.
    template <typename Application>
    void panne(ReglagesBanc& banc, const char* nom, bool parametre, Application applique) {
        for (const QString& texte : parseur_.values(QLatin1String(nom))) {
            if (enErreur())
                return;
            const qsizetype deuxPoints = texte.indexOf(QLatin1Char(':'));
            if (parametre != (deuxPoints >= 0)) {
                echoue(nom, texte,
                       parametre ? QStringLiteral("la forme PORT:VALEUR est attendue")
                                 : QStringLiteral("un numéro de port est attendu"));
                return;
            }
            bool ok = false;
            const int port = texte.left(parametre ? deuxPoints : texte.size()).toInt(&ok);
            if (!ok || port < 1 || port > banc.nombreInterfaces) {
                echoue(nom, texte,
                       QStringLiteral("le port doit être un numéro de 1 à %1")
                           .arg(banc.nombreInterfaces));
                return;
            }
            const QString raison = applique(banc.pannes[static_cast<std::size_t>(port - 1)],
                                            parametre ? texte.mid(deuxPoints + 1) : QString());
            if (!raison.isEmpty())
                echoue(nom, texte, raison);
        }
    }

    void pannes(ReglagesBanc& banc) {
        banc.pannes.assign(static_cast<std::size_t>(banc.nombreInterfaces), Pannes{});
        panne(banc, "muette", false, [](Pannes& p, const QString&) {
            p.muette = true;
            return QString();
        });
        panne(banc, "charabia", false, [](Pannes& p, const QString&) {
            p.charabia = true;
            return QString();
        });
        panne(banc, "retard", true, [](Pannes& p, const QString& valeur) {
            const std::optional<double> v = lisReel(valeur);
            if (!v || *v < 0)
                return QStringLiteral("un nombre de secondes positif ou nul est attendu");
            p.retard = *v;
            return QString();
        });
        panne(banc, "coupure", true, [](Pannes& p, const QString& valeur) {
            const QStringList champs = valeur.split(QLatin1Char(':'));
            bool ok = false;
            const int v = champs[0].toInt(&ok);
            if (!ok || v < 0 || champs.size() > 2)
                return QStringLiteral("un nombre de requêtes positif ou nul est attendu, puis "
                                      "peut-être un nombre de secondes (N:REQUETES:SECONDES)");
            if (champs.size() == 2) {
                const std::optional<double> retour = lisReel(champs[1]);
                if (!retour || *retour < 0)
                    return QStringLiteral("un nombre de secondes positif ou nul est attendu "
                                          "après les requêtes");
                p.retourCoupure = *retour;
            }
            p.coupureApres = v;
            return QString();
        });
        panne(banc, "blocage", true, [](Pannes& p, const QString& valeur) {
            bool ok = false;
            const int v = valeur.toInt(&ok);
            if (!ok || v < 0)
                return QStringLiteral("un nombre de requêtes positif ou nul est attendu");
            p.blocageApres = v;
            return QString();
        });
        panne(banc, "lumiere-bloquee", true, [](Pannes& p, const QString& valeur) {
            if (valeur == u"allumee" || valeur == u"allumée")
                p.lumiere = Pannes::Lumiere::Allumee;
            else if (valeur == u"eteinte" || valeur == u"éteinte")
                p.lumiere = Pannes::Lumiere::Eteinte;
            else
                return QStringLiteral("« allumee » ou « eteinte » est attendu après le port");
            return QString();
        });
    }

private:
    static std::optional<double> lisReel(const QString& texte) {
        bool ok = false;
        const double v = texte.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return std::nullopt;
        return v;
    }

    void echoue(const char* nom, const QString& texte, const QString& raison) {
        if (!enErreur())
            erreur_ = QStringLiteral("--%1 « %2 » : %3").arg(QLatin1String(nom), texte, raison);
    }

    const QCommandLineParser& parseur_;
    QString erreur_;
};

// What went wrong when the parser refused the line; its own texts are in English.
QString erreurDuParseur(const QCommandLineParser& parseur, const QStringList& arguments) {
    if (!parseur.unknownOptionNames().isEmpty()) {
        const QString nom = parseur.unknownOptionNames().first();
        return QStringLiteral("option inconnue « %1%2 »")
            .arg(nom.size() > 1 ? QStringLiteral("--") : QStringLiteral("-"), nom);
    }
    const QString dernier = arguments.size() > 1 ? arguments.last() : QString();
    for (const Option& option : options) {
        if (*option.valeur != '\0' && dernier == QStringLiteral("--") + QLatin1String(option.nom))
            return QStringLiteral("valeur manquante après « %1 »").arg(dernier);
    }
    return QStringLiteral("ligne de commande incorrecte (%1)").arg(parseur.errorText());
}

} // namespace

QString dossierParDefaut() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return QDir(runtime).filePath(QStringLiteral("lumicom-sim"));
#ifdef Q_OS_UNIX
    return QStringLiteral("/tmp/lumicom-sim-%1").arg(::getuid());
#else
    return QDir(QDir::tempPath()).filePath(QStringLiteral("lumicom-sim"));
#endif
}

QString texteAideSimulateur() {
    QString aide = QStringLiteral(
        "Utilisation : lumicom-sim [OPTIONS]\n"
        "\n"
        "Simule en temps réel les interfaces Orphy GTS d'un banc lumicom, la liaison à\n"
        "9600 bauds et la lumière entre les postes. Chaque interface est un pseudo-terminal\n"
        "publié sous le nom COMn dans le dossier des ports ; lumicom les utilise quand la\n"
        "variable LUMICOM_PORTS nomme ce dossier (la ligne « export » à copier est affichée\n"
        "au démarrage).\n"
        "\n"
        "Options :\n");
    for (const Option& option : options) {
        QString forme = QStringLiteral("--") + QLatin1String(option.nom);
        if (*option.valeur != '\0')
            forme += QLatin1Char(' ') + QString::fromUtf8(option.valeur);
        if (forme == u"--help")
            forme = QStringLiteral("-h, --help");
        aide += QStringLiteral("  ") + forme + QLatin1Char('\n');
        QString texte = QString::fromUtf8(option.aide);
        if (option.defaut != nullptr)
            texte = texte.arg(option.defaut(ReglagesBanc{}));
        for (const QString& ligne : texte.split(QLatin1Char('\n')))
            aide += QStringLiteral("      ") + ligne + QLatin1Char('\n');
    }
    aide += QStringLiteral(
        "\n"
        "Les pannes se cumulent et chacune peut être donnée pour plusieurs ports.\n"
        "\n"
        "Journal : une ligne par événement, « INSTANT PORT MOT DÉTAIL », par exemple\n"
        "« 1234.567890 COM2 SB0 1 ». L'instant est l'horloge monotone du système\n"
        "(CLOCK_MONOTONIC) en secondes. Le fichier est vidé au démarrage et écrit ligne\n"
        "par ligne, on peut le suivre avec « tail -f ». Il tient au plus deux fois\n"
        "--journal-max : le fichier et sa partie précédente, FICHIER.1.\n"
        "\n"
        "Arrêt : Ctrl+C ou SIGTERM. Le simulateur retire alors les liens COMn qu'il a\n"
        "publiés, puis le dossier des ports s'il l'a créé et s'il est vide : avec le\n"
        "journal par défaut, le dossier reste donc, avec le journal dedans.\n"
        "\n"
        "Code de sortie : 0 après un arrêt demandé, 1 si les ports ne peuvent pas être\n"
        "publiés, 2 pour une ligne de commande erronée.");
    return aide;
}

LectureOptions lisOptions(const QStringList& arguments) {
    QCommandLineParser parseur;
    parseur.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const Option& option : options) {
        QStringList noms{QLatin1String(option.nom)};
        if (noms.first() == u"help")
            noms.prepend(QStringLiteral("h"));
        parseur.addOption(QCommandLineOption(noms, QString(), QLatin1String(option.valeur)));
    }

    LectureOptions lecture;
    if (!parseur.parse(arguments)) {
        lecture.message = erreurDuParseur(parseur, arguments);
        return lecture;
    }
    if (parseur.isSet(QStringLiteral("help"))) {
        lecture.issue = LectureOptions::Issue::Aide;
        lecture.message = texteAideSimulateur();
        return lecture;
    }
    if (parseur.isSet(QStringLiteral("version"))) {
        lecture.issue = LectureOptions::Issue::Version;
        lecture.message = QStringLiteral("lumicom-sim " LUMICOM_VERSION);
        return lecture;
    }
    if (!parseur.positionalArguments().isEmpty()) {
        lecture.message =
            QStringLiteral("argument inattendu « %1 »").arg(parseur.positionalArguments().first());
        return lecture;
    }

    OptionsSimulateur& o = lecture.options;
    ReglagesBanc& b = o.banc;
    using D = Lecteur::Domaine;
    Lecteur l(parseur);
    l.entier("interfaces", b.nombreInterfaces, 1, interfacesMaximum);
    b.boucleLocale = parseur.isSet(QStringLiteral("boucle-locale"));
    l.reel("delai-reponse", b.interface.delaiReponse, D::PositifOuNul);
    l.reel("periode-echantillonnage", b.interface.periodeEchantillonnage, D::Positif);
    l.reel("silence", b.interface.silenceExecution, D::Positif);
    l.reel("obscur", b.lumiere.niveauObscur, D::Tension);
    l.reel("eclaire", b.lumiere.niveauEclaire, D::Tension);
    l.reel("bruit", b.lumiere.bruit, D::PositifOuNul);
    l.reel("scintillement", b.lumiere.scintillement, D::PositifOuNul);
    l.reel("temps-reponse", b.lumiere.tempsReponse, D::PositifOuNul);
    double glissementms = b.lumiere.glissement * 1000;
    l.reel("glissement", glissementms, D::PositifOuNul);
    b.lumiere.glissement = glissementms / 1000;
    l.reel("arrets", b.lumiere.proportionArrets, D::Proportion);
    l.graine(b.lumiere.graine);
    if (!l.enErreur())
        l.pannes(b);
    if (l.enErreur()) {
        lecture.message = l.erreur();
        return lecture;
    }

    o.dossier = parseur.value(QStringLiteral("dir"));
    o.journal = parseur.value(QStringLiteral("journal"));
    if (parseur.isSet(QStringLiteral("dir")) && o.dossier.isEmpty()) {
        lecture.message = QStringLiteral("--dir : un dossier est attendu");
        return lecture;
    }
    if (parseur.isSet(QStringLiteral("journal")) && o.journal.isEmpty()) {
        lecture.message = QStringLiteral("--journal : un fichier, ou « - », est attendu");
        return lecture;
    }
    if (parseur.isSet(QStringLiteral("journal-max"))) {
        bool nombre = false;
        const double mo =
            parseur.value(QStringLiteral("journal-max")).replace(u',', u'.').toDouble(&nombre);
        if (!nombre || !(mo >= 0) || mo > 1e6) {
            lecture.message = QStringLiteral("--journal-max : un nombre de mégaoctets, 0 ou plus, "
                                             "est attendu");
            return lecture;
        }
        o.journalmax = static_cast<qint64>(mo * 1e6);
    }
    lecture.issue = LectureOptions::Issue::Lancer;
    return lecture;
}
