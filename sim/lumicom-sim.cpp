// lumicom-sim: the interfaces of a lumicom bench simulated in real time, each one a
// pseudo-terminal that the program opens as its COM port, for running lumicom without
// hardware. This file reads the command line, keeps the journal and handles stop
// requests; the ports and the real-time loop are in frontalpty.cpp.

#include "link/tempsreel.h"
#include "sim/dossierports.h"
#include "sim/erreursysteme.h"
#include "sim/fichierjournal.h"
#include "sim/frontalpty.h"
#include "sim/optionssimulateur.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <csignal>
#include <cstdio>

namespace {

constexpr int sortieSucces = 0;
constexpr int sortieEchec = 1;
constexpr int sortieUsage = 2;

volatile std::sig_atomic_t arretDemande = 0;

void surArret(int) {
    arretDemande = 1;
}

void ecrit(std::FILE* flux, const QString& texte) {
    const QByteArray octets = (texte + u'\n').toUtf8();
    std::fwrite(octets.constData(), 1, static_cast<std::size_t>(octets.size()), flux);
    std::fflush(flux);
}

void ecritErreur(const QString& message) {
    ecrit(stderr, QStringLiteral("lumicom-sim : ") + message);
}

// The folder as the shell reads it back: quoted when it holds anything but plain
// characters, so that the export line can be copied as it stands.
QString pourLeShell(const QString& chemin) {
    static const QRegularExpression simple(QStringLiteral("^[A-Za-z0-9_./+-]+$"));
    if (simple.match(chemin).hasMatch())
        return chemin;
    QString cite = chemin;
    return QLatin1Char('\'') + cite.replace(QLatin1Char('\''), QLatin1String("'\\''")) +
           QLatin1Char('\'');
}

} // namespace

int main(int argc, char* argv[]) {
    // Stop requests stay blocked, from the start, except inside the wait of the loop,
    // which then returns at once; the links are removed on the way out.
    sigset_t arrets, masqueAttente;
    sigemptyset(&arrets);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&arrets, signal);
    sigprocmask(SIG_BLOCK, &arrets, &masqueAttente);
    struct sigaction action {};
    action.sa_handler = surArret;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    // A journal on a closed pipe must not end the simulator before it cleans up.
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication application(argc, argv);
    const LectureOptions lecture = lisOptions(QCoreApplication::arguments());
    if (lecture.issue == LectureOptions::Issue::Aide ||
        lecture.issue == LectureOptions::Issue::Version) {
        ecrit(stdout, lecture.message);
        return sortieSucces;
    }
    if (lecture.issue == LectureOptions::Issue::Erreur) {
        ecritErreur(lecture.message);
        ecritErreur(QStringLiteral("essayez « lumicom-sim --help »"));
        return sortieUsage;
    }
    const OptionsSimulateur& options = lecture.options;

    const QString dossier =
        QDir(options.dossier.isEmpty() ? dossierParDefaut() : options.dossier).absolutePath();
    DossierPorts dossierPorts(dossier);
    QString erreur;
    if (!dossierPorts.prepare(options.dossier.isEmpty(), erreur)) {
        ecritErreur(erreur);
        return sortieEchec;
    }
    const QString cheminJournal = options.journal.isEmpty()
                                      ? QDir(dossier).filePath(QStringLiteral("journal.txt"))
                                      : options.journal;
    FichierJournal journal;
    if (!journal.ouvre(cheminJournal, options.journalmax)) {
        ecritErreur(QStringLiteral("impossible d'écrire le journal « %1 » : %2")
                        .arg(cheminJournal, raisonSysteme(errno)));
        return sortieEchec;
    }

    FrontalPseudoTerminaux frontal(options.banc,
                                   [&journal](const EvenementJournal& e) { journal.ecrit(e); });
    if (!frontal.publiePorts(dossier, erreur)) {
        ecritErreur(erreur);
        return sortieEchec;
    }

    QString annonce =
        QStringLiteral("lumicom-sim : %1 interface%2 simulée%2, ports publiés dans %3\n")
            .arg(frontal.ports().size())
            .arg(frontal.ports().size() > 1 ? QStringLiteral("s") : QString())
            .arg(dossier);
    for (const FrontalPseudoTerminaux::Port& port : frontal.ports())
        annonce += QStringLiteral("  %1 -> %2\n").arg(port.nom, port.esclave);
    annonce += QStringLiteral("Journal : %1\n"
                              "Lumière à la main : echo eclaire N > %3 (puis normale N)\n"
                              "Salle, laser, bruit, par le même tube (en volts) : salle N V,\n"
                              "  laser N V, bruit N V, scintillement N V\n"
                              "Pannes à la main, par le même tube : muette N, charabia N,\n"
                              "  retard N SECONDES, pause N SECONDES, flot N, coupe N [SECONDES],\n"
                              "  rebranche N SECONDES, bloque N, repare N\n"
                              "Arrêt : Ctrl+C. Pour que lumicom utilise ces ports :\n"
                              "export LUMICOM_PORTS=%2")
                   .arg(cheminJournal == u"-" ? QStringLiteral("sortie standard") : cheminJournal,
                        pourLeShell(dossier),
                        pourLeShell(QDir(dossier).filePath(CommandesLumiere::nomTube())));
    ecrit(stdout, annonce);

    // The simulator stands for hardware, which a busy computer does not slow: its loop
    // asks for real-time scheduling above the stations'.
    ecritErreur(lignepriorite(demandeprioritetempsreel(30)));

    frontal.tourne(arretDemande, masqueAttente);
    return sortieSucces;
}
