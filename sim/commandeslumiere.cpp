#include "sim/commandeslumiere.h"

#include "sim/banc.h"
#include "sim/commandesbanc.h"
#include "sim/commandesphotodiode.h"
#include "sim/erreursysteme.h"

#include <QDir>
#include <QSaveFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CommandesLumiere::~CommandesLumiere() {
    ferme();
}

bool CommandesLumiere::ouvre(const QString& dossier, QString& erreur) {
    chemin_ = QDir(dossier).filePath(nomTube()).toLocal8Bit();
    ::unlink(chemin_.constData()); // left by a run that could not clean up
    if (::mkfifo(chemin_.constData(), 0600) != 0) {
        erreur = QStringLiteral("impossible de créer « %1 » : %2")
                     .arg(QString::fromLocal8Bit(chemin_), raisonSysteme(errno));
        chemin_.clear();
        return false;
    }
    lecture_ = ::open(chemin_.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ecriture_ = ::open(chemin_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (lecture_ < 0 || ecriture_ < 0) {
        erreur = QStringLiteral("impossible d'ouvrir « %1 » : %2")
                     .arg(QString::fromLocal8Bit(chemin_), raisonSysteme(errno));
        ferme();
        return false;
    }
    cheminetat_ = QDir(dossier).filePath(nomEtat());
    ecritetat();
    return true;
}

void CommandesLumiere::ecritetat() {
    if (cheminetat_.isEmpty())
        return;
    QString texte;
    for (int i = 0; i < banc_.nombreInterfaces(); ++i)
        texte += commandesphotodiode::ligneetat(banc_, i) + u'\n';
    // The light by hand is a help: a file that cannot be written changes nothing else.
    QSaveFile fichier(cheminetat_);
    if (fichier.open(QIODevice::WriteOnly) && fichier.write(texte.toUtf8()) >= 0)
        fichier.commit();
}

void CommandesLumiere::lis(double instant) {
    char tampon[512];
    for (;;) {
        const ssize_t n = ::read(lecture_, tampon, sizeof tampon);
        if (n <= 0)
            break;
        recu_.append(tampon, n);
        // A line without end longer than any command is no command.
        if (recu_.size() > 4096)
            recu_.clear();
    }
    for (qsizetype fin = recu_.indexOf('\n'); fin >= 0; fin = recu_.indexOf('\n')) {
        execute(recu_.left(fin).trimmed(), instant);
        recu_.remove(0, fin + 1);
    }
}

void CommandesLumiere::execute(const QByteArray& ligne, double instant) {
    if (!ligne.isEmpty() && commandesbanc::execute(banc_, instant, ligne, note_))
        ecritetat();
}

void CommandesLumiere::ferme() {
    for (int* d : {&lecture_, &ecriture_}) {
        if (*d >= 0)
            ::close(*d);
        *d = -1;
    }
    if (!chemin_.isEmpty())
        ::unlink(chemin_.constData());
    chemin_.clear();
    if (!cheminetat_.isEmpty())
        QFile::remove(cheminetat_);
    cheminetat_.clear();
}
