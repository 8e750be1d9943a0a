#include "link/ports.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The entries of `dossier` named `prefixe` followed by decimal digits only, ordered by
// their number.
QStringList peripheriquesnumerotes(const QDir& dossier, const QString& prefixe) {
    std::vector<std::pair<qulonglong, QString>> trouves;
    const QStringList noms = dossier.entryList({prefixe + QLatin1Char('*')},
                                               QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& nom : noms) {
        const QString chiffres = nom.mid(prefixe.size());
        if (chiffres.isEmpty() || chiffres.size() > 9)
            continue;
        if (!std::all_of(chiffres.begin(), chiffres.end(),
                         [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
            continue;
        trouves.emplace_back(chiffres.toULongLong(), nom);
    }
    std::sort(trouves.begin(), trouves.end());
    QStringList chemins;
    for (const auto& [numero, nom] : trouves)
        chemins << dossier.absoluteFilePath(nom);
    return chemins;
}

} // namespace

QStringList peripheriquesserie(const QString& dossierdev) {
    const QDir dossier(dossierdev);
    QStringList liste;
    for (const char* prefixe : {"ttyUSB", "ttyACM", "ttyS"})
        liste << peripheriquesnumerotes(dossier, QLatin1String(prefixe));
    return liste;
}

QString peripheriquecom(int numport, const QString& dossierports, const QString& dossierdev) {
    if (numport <= 0)
        return {};
    if (!dossierports.isEmpty()) {
        // An absolute path: the serial port takes a relative name as one under /dev.
        const QFileInfo entree(
            QDir(dossierports).absoluteFilePath(QStringLiteral("COM%1").arg(numport)));
        if (entree.exists() || entree.isSymLink())
            return entree.absoluteFilePath();
    }
    const QStringList liste = peripheriquesserie(dossierdev);
    if (numport > liste.size())
        return {};
    return liste.at(numport - 1);
}

QString peripheriquecom(int numport) {
    if (numport <= 0)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(numport);
#else
    return peripheriquecom(numport, qEnvironmentVariable("LUMICOM_PORTS"), QStringLiteral("/dev"));
#endif
}

QString peripheriquedurable(const QString& chemin, const QString& dossierparid) {
    const QString cible = QFileInfo(chemin).canonicalFilePath();
    if (cible.isEmpty() || dossierparid.isEmpty())
        return chemin;
    const QDir dossier(dossierparid);
    const QStringList noms =
        dossier.entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& nom : noms) {
        const QString entree = dossier.absoluteFilePath(nom);
        if (QFileInfo(entree).canonicalFilePath() == cible)
            return entree;
    }
    return chemin;
}

QList<int> portsdudossier(const QString& dossierports) {
    QList<int> ports;
    if (dossierports.isEmpty())
        return ports;
    for (const QString& chemin : peripheriquesnumerotes(QDir(dossierports), QStringLiteral("COM")))
        ports << QFileInfo(chemin).fileName().mid(3).toInt();
    return ports;
}
