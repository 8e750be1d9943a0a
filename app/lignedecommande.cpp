#include "app/lignedecommande.h"

#include "lumicomversion.h"

QString aideprogramme() {
    return QStringLiteral(
        "Utilisation : lumicom [--codages-rapides] [--poste N] [--version]\n"
        "\n"
        "Communication entre deux ordinateurs par la lumière, avec une interface Orphy GTS\n"
        "sur un port série. Le codage (morse lent ou binaire lent) et le port se choisissent\n"
        "au démarrage ; les réglages se font ensuite par les menus.\n"
        "\n"
        "Options :\n"
        "  --codages-rapides  rend accessibles, dans le menu « Type de codage », les\n"
        "                     sous-menus « morse rapide » et « binaire rapide » : envoi et\n"
        "                     réception rapides (l'interface enregistre la lumière dans sa\n"
        "                     mémoire), enregistrement et décodage des fichiers *.rrr.\n"
        "                     L'article « Codages rapides » du menu « Options » fait de même\n"
        "                     et s'en souvient ; l'option le coche pour cette séance seulement.\n"
        "  --poste N          poste N d'un banc à plusieurs fenêtres sur un même écran\n"
        "                     (celui de lumicom-banc) : chaque fenêtre du poste porte\n"
        "                     « Poste N — COMN » après son titre, le poste occupe sa moitié\n"
        "                     de l'écran et la boîte du numéro de port propose N.\n"
        "  --version          affiche la version du programme.\n"
        "  -h, --help         affiche cette aide.\n"
        "\n"
        "Variable d'environnement :\n"
        "  LUMICOM_PORTS      dossier où les ports COM1, COM2, ... sont publiés (celui du\n"
        "                     simulateur lumicom-sim, pour travailler sans interface).\n");
}

QString ligneversion() {
    return QStringLiteral("lumicom " LUMICOM_VERSION "\n");
}

LigneDeCommande litlignedecommande(const QStringList& arguments) {
    LigneDeCommande ligne;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--codages-rapides") {
            ligne.codagesRapides = true;
        } else if (argument == u"--poste" || argument.startsWith(u"--poste=")) {
            const QString valeur = argument.contains(u'=')    ? argument.section(u'=', 1)
                                   : i + 1 < arguments.size() ? arguments.at(++i)
                                                              : QString();
            bool nombre = false;
            ligne.poste = valeur.toInt(&nombre);
            if (!nombre || ligne.poste < 1 || ligne.poste > 99) {
                ligne.arret = true;
                ligne.code = 2;
                ligne.message = QStringLiteral("lumicom : --poste attend un numéro de poste de 1 "
                                               "à 99, pas « %1 ».\n")
                                    .arg(valeur);
                return ligne;
            }
        } else if (argument == u"--version") {
            ligne.arret = true;
            ligne.code = 0;
            ligne.message = ligneversion();
            return ligne;
        } else if (argument == u"-h" || argument == u"--help") {
            ligne.arret = true;
            ligne.code = 0;
            ligne.message = aideprogramme();
            return ligne;
        } else {
            ligne.arret = true;
            ligne.code = 2;
            ligne.message = QStringLiteral("lumicom : argument inconnu « %1 ».\n"
                                           "« lumicom --help » donne les options.\n")
                                .arg(argument);
            return ligne;
        }
    }
    return ligne;
}
