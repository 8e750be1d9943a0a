#include "link/sondeinterface.h"

#include "link/echantillonneur.h"
#include "link/ports.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace {

// Whether what came holds a whole reading: a line that is a number 0 to 255.
bool reponsedinterface(const QByteArray& recu) {
    const QList<QByteArray> lignes = recu.split('\r');
    // The last piece has no CR yet: it is not whole.
    for (qsizetype i = 0; i + 1 < lignes.size(); ++i)
        if (Echantillonneur::lecture(lignes[i]) >= 0)
            return true;
    return false;
}

// Asks the open port one reading and waits for it, `delai` seconds at most.
bool demandeunelecture(Plateforme& p, Transport& transport, double delai) {
    // Each byte that arrives wakes the wait, which ends with the answer.
    transport.reveilSurEntree(true);
    const double debut = p.horloge();
    transport.ecris(QByteArrayLiteral("XEA 0\r"));
    QByteArray recu;
    for (;;) {
        recu += transport.lis(0);
        if (reponsedinterface(recu))
            return true;
        if (p.horloge() - debut >= delai || !transport.estOuvert())
            return false;
        p.cede(debut + delai);
    }
}

// "COM 1 (/dev/ttyS0), COM 2 (/dev/ttyUSB0)"; beyond three ports, the numbers alone, three
// in a row or more as a span ("COM 3 à COM 32"): a machine may have thirty built-in ports
// that do not open.
QString nomsports(const QList<PortSonde>& ports) {
    QStringList noms;
    if (ports.size() <= 3) {
        for (const PortSonde& port : ports)
            noms << QStringLiteral("COM %1 (%2)").arg(port.numport).arg(port.peripherique);
        return noms.join(QStringLiteral(", "));
    }
    for (qsizetype i = 0; i < ports.size();) {
        qsizetype j = i;
        while (j + 1 < ports.size() && ports[j + 1].numport == ports[j].numport + 1)
            ++j;
        if (j - i >= 2)
            noms << QStringLiteral("COM %1 à COM %2").arg(ports[i].numport).arg(ports[j].numport);
        else
            for (qsizetype k = i; k <= j; ++k)
                noms << QStringLiteral("COM %1").arg(ports[k].numport);
        i = j + 1;
    }
    return noms.join(QStringLiteral(", "));
}

} // namespace

ResultatSonde sondeinterface(Plateforme& plateforme, const FabriqueTransport& ouvre,
                             const QList<PortSonde>& ports, double delai) {
    ResultatSonde resultat;
    for (const PortSonde& port : ports) {
        OuverturePort ouverture = ouvre(port.numport);
        if (!ouverture.transport) {
            resultat.fermes << port;
            continue;
        }
        resultat.essayes << port;
        const bool trouve = demandeunelecture(plateforme, *ouverture.transport, delai);
        ouverture.transport->ferme();
        if (trouve) {
            resultat.trouve = port.numport;
            resultat.peripherique = port.peripherique;
            break;
        }
    }
    return resultat;
}

QList<PortSonde> portsasonder(int premier) {
    QList<PortSonde> ports;
#ifdef Q_OS_WIN
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString nom = info.portName();
        bool nombre = false;
        const int n = nom.startsWith(QStringLiteral("COM")) ? nom.mid(3).toInt(&nombre) : 0;
        if (nombre && n > 0)
            ports << PortSonde{n, nom};
    }
    std::sort(ports.begin(), ports.end(),
              [](const PortSonde& a, const PortSonde& b) { return a.numport < b.numport; });
#else
    const QList<int> publies = portsdudossier(qEnvironmentVariable("LUMICOM_PORTS"));
    int dernier = int(peripheriquesserie().size());
    for (const int n : publies)
        dernier = std::max(dernier, n);
    for (int n = 1; n <= dernier; ++n)
        if (const QString chemin = peripheriquecom(n); !chemin.isEmpty())
            ports << PortSonde{n, chemin};
#endif
    const auto avant = std::find_if(ports.begin(), ports.end(),
                                    [premier](const PortSonde& p) { return p.numport == premier; });
    if (avant != ports.end())
        std::rotate(ports.begin(), avant, avant + 1);
    return ports;
}

QString textesonde(const ResultatSonde& r) {
    if (r.trouve > 0)
        return QStringLiteral("Interface trouvée sur COM %1 (%2)")
            .arg(r.trouve)
            .arg(r.peripherique);
    if (r.essayes.isEmpty() && r.fermes.isEmpty())
        return QStringLiteral(
            "Aucune interface n'a répondu : aucun port série n'a été trouvé sur cet ordinateur.");
    QString texte = QStringLiteral("Aucune interface n'a répondu");
    if (!r.essayes.isEmpty())
        texte += QStringLiteral(" (ports essayés : %1)").arg(nomsports(r.essayes));
    if (!r.fermes.isEmpty())
        texte += QStringLiteral(" ; %1 : ne s'ouvre%2 pas, ou déjà utilisé%3 par un autre "
                                "programme")
                     .arg(nomsports(r.fermes))
                     .arg(r.fermes.size() > 1 ? QStringLiteral("nt") : QString())
                     .arg(r.fermes.size() > 1 ? QStringLiteral("s") : QString());
    return texte + u'.';
}
