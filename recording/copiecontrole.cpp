#include "recording/copiecontrole.h"

#include "codes/formats.h"
#include "recording/fichierenregistrement.h"
#include "recording/raisonfichier.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString chemincopiecontrole() {
#ifdef Q_OS_WIN
    // The classroom computers keep their recordings on drive I:.
    if (QFileInfo::exists(QStringLiteral("I:/")))
        return QStringLiteral("I:\\controle.rrr");
#endif
    const QString dossier = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dossier.isEmpty())
        return {};
    // A folder that cannot be created shows when the file is opened, with its reason.
    QDir().mkpath(dossier);
    return dossier + QStringLiteral("/controle.rrr");
}

QByteArray lignecopiecontrole(int index, const QByteArray& chainemesure) {
    return ' ' + nombreavecblanc(index).toLatin1() + ' ' + chainemesure + ' ';
}

CopieControle::~CopieControle() {
    ferme();
}

bool CopieControle::ouvre() {
    const QString chemin = chemincopiecontrole();
    if (chemin.isEmpty()) {
        if (fichier_.isOpen())
            fichier_.close();
        raison_ = QStringLiteral(
            "Pas de copie de contrôle : le système ne donne aucun dossier de données");
        return false;
    }
    return ouvre(chemin);
}

bool CopieControle::ouvre(const QString& chemin) {
    if (fichier_.isOpen())
        fichier_.close();
    raison_.clear();
    fichier_.setFileName(chemin);
    if (!fichier_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        abandonne();
        return false;
    }
    const QByteArray entete = enteteenregistrement();
    if (fichier_.write(entete) != entete.size()) {
        abandonne();
        return false;
    }
    return true;
}

void CopieControle::ajoute(int index, const QByteArray& chainemesure) {
    if (!fichier_.isOpen())
        return;
    const QByteArray ligne = lignecopiecontrole(index, chainemesure) + "\r\n";
    if (fichier_.write(ligne) != ligne.size())
        abandonne();
}

void CopieControle::ferme() {
    if (!fichier_.isOpen())
        return;
    // Closing writes out what is still buffered; a failure there keeps its error.
    fichier_.close();
    if (fichier_.error() != QFileDevice::NoError)
        abandonne();
}

// The file cannot be created or written: the reason is kept and the copy stops there.
// What was written so far stays in the file; what is still buffered is given up.
void CopieControle::abandonne() {
    raison_ = QStringLiteral("Impossible d'écrire la copie de contrôle « %1 » : %2")
                  .arg(cheminaffiche(fichier_.fileName()),
                       raisonechecfichier(fichier_.fileName(), fichier_, UsageFichier::ecriture));
    if (fichier_.isOpen())
        fichier_.close();
}
