// lumicom-tool: the program's functions from the command line, for checks and scripts.
// One subcommand per file; this file holds their table, the help text and the dispatch.

#include "souscommande.h"

#include "link/messagesqt.h"
#include "lumicomversion.h"
#include "tools/fenetreoccupee.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <array>
#include <cstring>
#include <memory>

namespace {

const std::array<const SousCommande*, 6> sousCommandes = {
    &sousCommandeEncode,          &sousCommandeSend,
    &sousCommandeReceive,         &sousCommandeBenchLink,
    &sousCommandeDecodeRecording, &sousCommandePlotRecording,
};

// The subcommand that draws text into an image: the fonts need a GUI application, on the
// offscreen platform. The others run without any: a station of the tool has no window.
const std::array<const SousCommande*, 1> sousCommandesAvecImage = {
    &sousCommandePlotRecording,
};

bool avecImage(int argc, char* argv[]) {
    for (const SousCommande* commande : sousCommandesAvecImage)
        if (argc > 1 && std::strcmp(argv[1], commande->nom) == 0)
            return true;
    return false;
}

QString texteAide() {
    QString aide = QStringLiteral(
        "Utilisation : lumicom-tool SOUS-COMMANDE [ARGUMENTS...]\n"
        "\n"
        "Les fonctions de lumicom en ligne de commande, pour les vérifications et les scripts.\n"
        "Les textes sont lus et écrits en UTF-8 ; le programme les code en Windows-1252.\n"
        "\n"
        "Sous-commandes (« lumicom-tool SOUS-COMMANDE --help » pour l'aide de l'une) :\n");
    for (const SousCommande* commande : sousCommandes) {
        const QString forme = QStringLiteral("%1 %2").arg(QLatin1String(commande->nom),
                                                          QString::fromUtf8(commande->arguments));
        aide += QStringLiteral("  %1\n      %2\n").arg(forme, QString::fromUtf8(commande->resume));
    }
    aide += QStringLiteral("\n"
                           "Options :\n"
                           "  -h, --help\n"
                           "      affiche cette aide\n"
                           "  --version\n"
                           "      affiche la version du programme\n"
                           "  --fenetre-occupee (send, receive)\n"
                           "      le poste tourne sur un fil à lui, comme dans le programme, et le "
                           "fil\n      principal, à la place de la fenêtre, est occupé 0,3 s "
                           "chaque seconde\n"
                           "\n"
                           "Code de sortie : 0 en cas de succès, 2 pour une ligne de commande "
                           "erronée\nou un texte que le programme ne peut pas coder"
                           " (send, receive : ou un port COM\nqui ne s'ouvre pas).");
    return aide;
}

} // namespace

int main(int argc, char* argv[]) {
    filtremessagesqt();
    std::unique_ptr<QCoreApplication> application;
    if (avecImage(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    if (arguments.isEmpty()) {
        ecritErreur(QStringLiteral("sous-commande manquante"));
        ecritErreur(QStringLiteral("essayez « lumicom-tool --help »"));
        return sortieUsage;
    }
    const QString nom = arguments.takeFirst();
    if (nom == u"-h" || nom == u"--help") {
        ecritLigne(texteAide());
        return sortieSucces;
    }
    if (nom == u"--version") {
        ecritLigne(QStringLiteral("lumicom-tool " LUMICOM_VERSION));
        return sortieSucces;
    }
    for (const SousCommande* commande : sousCommandes) {
        if (nom != QLatin1String(commande->nom))
            continue;
        if (!arguments.isEmpty() &&
            (arguments.first() == u"-h" || arguments.first() == u"--help")) {
            ecritLigne(QStringLiteral("Utilisation : lumicom-tool %1 %2\n\n      %3")
                           .arg(QLatin1String(commande->nom),
                                QString::fromUtf8(commande->arguments),
                                QString::fromUtf8(commande->resume)));
            return sortieSucces;
        }
        // The station on a thread of its own beside a busy window's thread, as bench-charge
        // measures it.
        if ((commande == &sousCommandeSend || commande == &sousCommandeReceive) &&
            arguments.removeAll(QStringLiteral("--fenetre-occupee")) > 0)
            return executesurfilposte(
                [commande, arguments] { return commande->executer(arguments); }, 0.3);
        return commande->executer(arguments);
    }
    ecritErreur(QStringLiteral("sous-commande inconnue « %1 »").arg(nom));
    ecritErreur(QStringLiteral("essayez « lumicom-tool --help »"));
    return sortieUsage;
}
