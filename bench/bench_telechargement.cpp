// bench-telechargement: the download of a 6400-sample recording in each fast coding, in
// real time: lumicom-tool receive on COM2 of lumicom-sim, lumicom-tool send on COM1; fast
// Morse both ways, one request per value (as designed) and 32 values a request (the
// option of the menu Options). The
// receiving station reports its download (values, duration, bytes written and read); the
// duration is set beside the time those bytes need on a 9600-baud line one after the
// other, and beside that time plus what the simulated interface itself takes for each
// request (the silence that ends a request written without terminator, and its delay
// before answering). Prints a table, asserts nothing.

#include "bench/processusbanc.h"
#include "sim/reglages.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QTextStream>

namespace {

QLocale francais(QLocale::French, QLocale::France);
QTextStream sortie(stdout);

QString nombre(double v, int decimales) {
    return francais.toString(v, 'f', decimales);
}

struct Codage {
    const char* nom;
    const char* codage;
    const char* texte;
    int requetes; // requests that the interface answers (one per value, or per block)
    bool blocs;   // the option "Téléchargement morse rapide par blocs"
};

const Codage codages[] = {
    {"Morse rapide", "mr", "sos", 199 * 32, false},
    {"Morse, blocs", "mr", "sos", 200, true},
    {"binaire rapide", "br", "Bonjour !", 200, false},
};

void mesure(const Codage& c) {
    Simulateur simulateur;
    if (!simulateur.pret()) {
        sortie << c.nom << " : lumicom-sim ne démarre pas" << Qt::endl;
        return;
    }
    QStringList arguments = {
        QStringLiteral("receive"),  QStringLiteral("--port"),      QStringLiteral("2"),
        QStringLiteral("--coding"), QString::fromLatin1(c.codage), QStringLiteral("--count"),
        QStringLiteral("1")};
    if (c.blocs)
        arguments << QStringLiteral("--blocs");
    Outil reception(arguments);
    if (!reception.attends("en attente d'un message", 30)) {
        sortie << c.nom << " : le poste récepteur ne démarre pas : " << reception.lu() << Qt::endl;
        return;
    }
    Outil envoi({QStringLiteral("send"), QStringLiteral("--port"), QStringLiteral("1"),
                 QStringLiteral("--coding"), QString::fromLatin1(c.codage),
                 QStringLiteral("--text"), QString::fromUtf8(c.texte)});
    if (!reception.attends("réception d'un message", 60)) {
        sortie << c.nom << " : aucune réception : " << envoi.lu() << Qt::endl;
        return;
    }
    const double c0 = tempsProcesseur(reception.pid());
    if (!reception.attends("téléchargement :", 400)) {
        sortie << c.nom << " : pas de téléchargement : " << reception.lu() << Qt::endl;
        return;
    }
    const double c1 = tempsProcesseur(reception.pid());
    static const QRegularExpression forme(QStringLiteral(
        "téléchargement : (\\d+) valeurs sur (\\d+) en ([\\d,]+) s \\((\\d+) octets envoyés, "
        "(\\d+) reçus\\)"));
    const auto m = forme.match(QString::fromUtf8(reception.lu()));
    if (!m.hasMatch()) {
        sortie << c.nom << " : bilan illisible : " << reception.lu() << Qt::endl;
        return;
    }
    const int valeurs = m.captured(1).toInt();
    const double duree = francais.toDouble(m.captured(3));
    const double ecrits = m.captured(4).toDouble();
    const double lus = m.captured(5).toDouble();
    const double ligne = (ecrits + lus) * dureeOctetLigne;
    const ReglagesInterface interface;
    const double reaction = c.requetes * (interface.silenceExecution + interface.delaiReponse);
    // The processor time of the download, less what the wait for the recording cost.
    const double recording = c.codage[0] == 'm' ? 10.0 : 6400 * 0.0015 + 2.0;
    sortie << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                  .arg(QString::fromUtf8(c.nom), -15)
                  .arg(valeurs, 7)
                  .arg(nombre(duree, 2), 8)
                  .arg(QStringLiteral("%1 + %2").arg(ecrits).arg(lus), 15)
                  .arg(nombre(ligne, 2), 8)
                  .arg(nombre(100 * (duree / ligne - 1), 1) + QStringLiteral(" %"), 9)
                  .arg(nombre(reaction, 2), 8)
                  .arg(nombre(100 * (duree / (ligne + reaction) - 1), 1) + QStringLiteral(" %"), 9)
                  .arg(nombre(100 * (c1 - c0) / (duree + recording), 2) + QStringLiteral(" %"), 8)
           << Qt::endl;
    int statut = 0;
    double processeur = 0;
    reception.termine(30, statut, processeur);
    envoi.termine(30, statut, processeur);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    sortie << "Téléchargement d'un enregistrement de 6400 mesures, en temps réel sur lumicom-sim\n"
           << "(charge de la machine : " << chargeMachine() << ")\n"
           << "ligne : octets envoyés et reçus à 960 octets par seconde, les uns après les "
              "autres ;\n"
           << "interface : ce que l'interface simulée prend pour chaque requête servie (le "
              "silence qui\n"
           << "clôt une requête sans terminateur, 2/960 s, et son délai de réponse, 2 ms) ;\n"
           << "processeur : temps processeur du poste récepteur pendant l'enregistrement et le "
              "téléchargement.\n\n"
           << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                  .arg(QStringLiteral("codage"), -15)
                  .arg(QStringLiteral("valeurs"), 7)
                  .arg(QStringLiteral("durée s"), 8)
                  .arg(QStringLiteral("octets"), 15)
                  .arg(QStringLiteral("ligne s"), 8)
                  .arg(QStringLiteral("/ligne"), 9)
                  .arg(QStringLiteral("interf. s"), 8)
                  .arg(QStringLiteral("/l.+int."), 9)
                  .arg(QStringLiteral("process."), 8)
           << Qt::endl;
    for (const Codage& c : codages)
        mesure(c);
    return 0;
}
