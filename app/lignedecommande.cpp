#include "app/lignedecommande.h"

QString aideprogramme() {
    return QStringLiteral(
        "Utilisation : lumicom [--codages-rapides]\n"
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
        "                     Sans cette option, ces sous-menus restent grisés.\n"
        "  -h, --help         affiche cette aide.\n"
        "\n"
        "Variable d'environnement :\n"
        "  LUMICOM_PORTS      dossier où les ports COM1, COM2, ... sont publiés (celui du\n"
        "                     simulateur lumicom-sim, pour travailler sans interface).\n");
}

LigneDeCommande litlignedecommande(const QStringList& arguments) {
    LigneDeCommande ligne;
    for (const QString& argument : arguments) {
        if (argument == u"--codages-rapides") {
            ligne.codagesRapides = true;
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
