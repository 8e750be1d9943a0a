#include "link/tubebanc.h"

#include "link/ports.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QString tube = QStringLiteral("lumiere");
const QString etat = QStringLiteral("etat-lumiere");

} // namespace

QString dossierbanc() {
    const QString dossier = qEnvironmentVariable("LUMICOM_PORTS");
    if (dossier.isEmpty())
        return {};
#ifdef Q_OS_UNIX
    // The simulator's pipe, and not a file of the same name.
    struct stat entree {};
    if (::stat(QFile::encodeName(QDir(dossier).filePath(tube)).constData(), &entree) != 0 ||
        !S_ISFIFO(entree.st_mode))
        return {};
    return QDir(dossier).absolutePath();
#else
    return {};
#endif
}

bool portdubanc(int numport) {
    const QString dossier = dossierbanc();
    return !dossier.isEmpty() && portsdudossier(dossier).contains(numport);
}

QList<LumierePhotodiode> litlumierebanc(const QString& dossier) {
    QList<LumierePhotodiode> lumieres;
    QFile fichier(QDir(dossier).filePath(etat));
    if (!fichier.open(QIODevice::ReadOnly | QIODevice::Text))
        return lumieres;
    // "COM2 salle 0.05 laser 2.95 bruit 0 scintillement 0 photodiode normale"
    while (!fichier.atEnd()) {
        const QStringList mots = QString::fromUtf8(fichier.readLine()).simplified().split(u' ');
        if (mots.size() < 2 || !mots[0].startsWith(QStringLiteral("COM")))
            continue;
        LumierePhotodiode l;
        bool nombre = false;
        l.poste = mots[0].mid(3).toInt(&nombre);
        if (!nombre)
            continue;
        for (qsizetype i = 1; i + 1 < mots.size(); i += 2) {
            const QString& nom = mots[i];
            const double v = mots[i + 1].toDouble(&nombre);
            if (nom == u"photodiode")
                l.photodiode = mots[i + 1];
            else if (!nombre)
                continue;
            else if (nom == u"salle")
                l.salle = v;
            else if (nom == u"laser")
                l.laser = v;
            else if (nom == u"bruit")
                l.bruit = v;
            else if (nom == u"scintillement")
                l.scintillement = v;
        }
        lumieres << l;
    }
    return lumieres;
}

bool commandebanc(const QString& dossier, const QString& commande, QString* erreur) {
#ifdef Q_OS_UNIX
    const QByteArray chemin = QFile::encodeName(QDir(dossier).filePath(tube));
    // Never waits: a pipe nobody reads (the simulator stopped) refuses at once.
    const int d = ::open(chemin.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (d < 0) {
        if (erreur)
            *erreur = errno == ENXIO
                          ? QStringLiteral("le simulateur du banc ne répond plus (il a été arrêté)")
                          : QStringLiteral("« %1 » ne s'ouvre pas : %2")
                                .arg(QFile::decodeName(chemin),
                                     QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const QByteArray ligne = commande.toUtf8() + '\n';
    const ssize_t ecrits = ::write(d, ligne.constData(), size_t(ligne.size()));
    const int raison = errno;
    ::close(d);
    if (ecrits != ligne.size()) {
        if (erreur)
            *erreur = QStringLiteral("la commande n'a pas pu être donnée au simulateur : %1")
                          .arg(QString::fromLocal8Bit(std::strerror(raison)));
        return false;
    }
    return true;
#else
    Q_UNUSED(dossier);
    Q_UNUSED(commande);
    if (erreur)
        *erreur = QStringLiteral("le banc simulé n'existe pas sur ce système");
    return false;
#endif
}
