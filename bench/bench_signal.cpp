// bench-signal: what the window "Signal lumineux" costs over 10 minutes of ticks. A
// station on the virtual bench ticks every 30 ms for 10 minutes of its clock (20 000
// readings); the window takes each reading and is painted after each one, as a screen
// would be. Prints the processor time per reading (against the 30 ms of a tick) and the
// memory of the process before and after, the window's ring of readings being bounded.
// The painting is offscreen: a real display adds the copy to the screen.

#include "app/fenetresignal.h"
#include "link/messagesqt.h"
#include "link/station.h"
#include "tools/bancvirtuel.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <ctime>

namespace {

double tempsprocesseur() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Resident memory of the process, in kilobytes.
long memoire() {
    QFile statut(QStringLiteral("/proc/self/status"));
    if (!statut.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& ligne : statut.readAll().split('\n'))
        if (ligne.startsWith("VmRSS:"))
            return ligne.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    filtremessagesqt();
    QApplication application(argc, argv);
    QTextStream sortie(stdout);
    const QLocale francais(QLocale::French);

    BancVirtuel banc;
    Station& station = *banc.recepteur.station;
    station.etat.tensionseuil = 0.55;
    FenetreSignal fenetre(station);
    fenetre.fixeduree(30);
    fenetre.show();
    // The offscreen platform exposes no window: the picture is drawn into an image of the
    // window's size, as the screen's backing store would be.
    QImage ecran(fenetre.size(), QImage::Format_ARGB32_Premultiplied);

    // 10 minutes at 30 ms; fewer for a quick look (bench-signal N).
    const int lectures = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 20000;
    constexpr double intervalle = 0.03;
    const auto tique = [&](int k) {
        const double t = (k + 1) * intervalle;
        banc.recepteur.plateforme.avanceJusqua(t);
        // Light and darkness in turn, with a little noise, as a message would give.
        const double volts = (k / 17) % 2 ? 3.0 : 0.05 + 0.01 * std::sin(k);
        fenetre.ajoute(t, volts);
        fenetre.render(&ecran);
    };
    // The first readings fill the ring and the caches of the painting.
    for (int k = 0; k < std::min(2000, lectures); ++k)
        tique(k);
    const long memoireavant = memoire();
    const double debut = tempsprocesseur();
    for (int k = 2000; k < lectures + 2000; ++k)
        tique(k);
    const double duree = tempsprocesseur() - debut;
    const long memoireapres = memoire();

    const double parlecture = duree / lectures;
    sortie << "Fenêtre « Signal lumineux », 30 s affichées, 10 minutes de tics à 30 ms ("
           << lectures << " lectures), peinte après chaque lecture (plateforme offscreen)\n"
           << "temps processeur : " << francais.toString(duree, 'f', 2) << " s, soit "
           << francais.toString(parlecture * 1000, 'f', 3) << " ms par lecture, "
           << francais.toString(100 * parlecture / intervalle, 'f', 1)
           << " % d'un processeur au rythme du tic\n"
           << "mémoire du processus : " << memoireavant << " Ko avant, " << memoireapres
           << " Ko après (" << (memoireapres - memoireavant)
           << " Ko de plus) ; lectures gardées : " << fenetre.mesures().taille() << " sur "
           << fenetre.mesures().capacite() << "\n";
    return 0;
}
