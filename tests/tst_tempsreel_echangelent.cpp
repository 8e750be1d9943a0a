// Two stations of the program as two processes, lumicom-tool receive and lumicom-tool send,
// each with its real start-up, over lumicom-sim's pseudo-terminals at 9600 bauds: the
// laser of COM2 lights the photodiode of COM1. The waits are bounded loosely for a loaded
// machine and end as soon as the awaited thing happens.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int attenteMs = 5000;
// Start-up (about 1.3 s) and the longest exchange here (binary 'a', about 21 s), with room.
constexpr int echangeMs = 90000;

class Simulateur {
public:
    // `pannes`: fault options of lumicom-sim.
    explicit Simulateur(const QStringList& pannes = {}) {
        processus_.setStandardOutputFile(QProcess::nullDevice());
        processus_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processus_.start(QStringLiteral(LUMICOM_SIM),
                         QStringList{QStringLiteral("--dir"), dossierPorts(),
                                     QStringLiteral("--journal"),
                                     temporaire_.filePath(QStringLiteral("journal.txt"))} +
                             pannes);
        pret_ = processus_.waitForStarted(attenteMs) &&
                QTest::qWaitFor(
                    [this] {
                        return QFileInfo::exists(dossierPorts() + QStringLiteral("/COM1")) &&
                               QFileInfo::exists(dossierPorts() + QStringLiteral("/COM2"));
                    },
                    attenteMs);
    }
    ~Simulateur() {
        processus_.terminate();
        processus_.waitForFinished(attenteMs);
    }
    bool pret() const { return pret_; }
    QString dossierPorts() const { return temporaire_.filePath(QStringLiteral("ports")); }
    QByteArray journal() const {
        QFile f(temporaire_.filePath(QStringLiteral("journal.txt")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Gives a fault or a light by hand through the simulator's pipe ("coupe 1").
    bool commande(const QByteArray& ligne) const {
        QFile tube(dossierPorts() + QStringLiteral("/lumiere"));
        return tube.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
               tube.write(ligne + '\n') == ligne.size() + 1;
    }

private:
    QTemporaryDir temporaire_;
    QProcess processus_;
    bool pret_ = false;
};

// lumicom-tool with LUMICOM_PORTS naming `dossierPorts`.
void lance(QProcess& outil, const QString& dossierPorts, const QStringList& arguments) {
    QProcessEnvironment environnement = QProcessEnvironment::systemEnvironment();
    environnement.insert(QStringLiteral("LUMICOM_PORTS"), dossierPorts);
    outil.setProcessEnvironment(environnement);
    outil.start(QStringLiteral(LUMICOM_TOOL), arguments);
}

// Waits until the receiving tool says it waits for a message; false after `echangeMs`.
bool attendAttente(QProcess& recepteur, QByteArray& erreurs) {
    return QTest::qWaitFor(
        [&] {
            erreurs += recepteur.readAllStandardError();
            return erreurs.contains("en attente d'un message");
        },
        echangeMs);
}

// Station 2 sends `texte` in `codage` (with `reglages`, such as a speed); true when its
// emission ended well.
bool envoie(const Simulateur& simulateur, const QString& codage, const QString& texte,
            const QStringList& reglages = {}) {
    QProcess emetteur;
    emetteur.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    lance(emetteur, simulateur.dossierPorts(),
          QStringList{QStringLiteral("send"), QStringLiteral("--port"), QStringLiteral("2"),
                      QStringLiteral("--coding"), codage, QStringLiteral("--text"), texte} +
              reglages);
    return emetteur.waitForFinished(echangeMs) && emetteur.exitStatus() == QProcess::NormalExit &&
           emetteur.exitCode() == 0;
}

// Station 1 waits in its idle loop (its threshold measured in the dark), then station 2
// sends `texte`, both with `reglages`; returns what station 1 printed, or why the exchange
// did not end as it should (after "échec : ").
QByteArray echange(const QString& codage, const QString& texte, const QStringList& reglages = {}) {
    Simulateur simulateur;
    if (!simulateur.pret())
        return "échec : lumicom-sim ne démarre pas";
    QProcess recepteur;
    lance(recepteur, simulateur.dossierPorts(),
          QStringList{QStringLiteral("receive"), QStringLiteral("--port"), QStringLiteral("1"),
                      QStringLiteral("--coding"), codage, QStringLiteral("--count"),
                      QStringLiteral("1"), QStringLiteral("--timeout"), QStringLiteral("60")} +
              reglages);
    QByteArray erreurs;
    if (!attendAttente(recepteur, erreurs))
        return "échec : le poste 1 ne se met pas en attente : " + erreurs;
    if (!envoie(simulateur, codage, texte, reglages))
        return "échec : le poste 2 n'a pas fini son envoi";
    if (!recepteur.waitForFinished(echangeMs) || recepteur.exitCode() != 0)
        return "échec : le poste 1 ne s'est pas arrêté après un message";
    if (!(erreurs + recepteur.readAllStandardError()).contains("réception d'un message"))
        return "échec : le poste 1 n'a rien reçu";
    return recepteur.readAllStandardOutput();
}

// What station 1 printed ends a line: a message was shown (whatever its characters,
// which may include a line feed when a busy machine moved the light).
bool ligneImprimee(const QByteArray& sortie) {
    return sortie.endsWith('\n') && !sortie.startsWith("échec : ");
}

// The number of download requests COM1's interface has carried out so far.
qsizetype requetesCOM1(const Simulateur& simulateur) {
    return simulateur.journal().count(" COM1 commande XRESUL");
}

} // namespace

class TestTempsReelEchangeLent : public QObject {
    Q_OBJECT

private slots:
    // A message goes from one process to the other in real time: station 1 sees its start
    // mark, receives it, prints one line and stops after it. Which letters that line holds
    // depends on how a busy machine times the light: the decoding is the business of the
    // exchanges in virtual time (tst_echangelent), exact messages under load that of
    // bench-charge.
    void morse() {
        const QByteArray recu = echange(QStringLiteral("m"), QStringLiteral("e"));
        QVERIFY2(ligneImprimee(recu), recu.constData());
    }

    void binaire() {
        // At twice the speed: the same steps in half the time.
        const QByteArray recu = echange(QStringLiteral("b"), QStringLiteral("a"),
                                        {QStringLiteral("--speed"), QStringLiteral("2")});
        QVERIFY2(ligneImprimee(recu), recu.constData());
    }

    // Without a start mark for 2 s the receiving tool stops by itself, with status 0.
    void delaiSansMessage() {
        Simulateur simulateur;
        QVERIFY(simulateur.pret());
        QProcess recepteur;
        lance(recepteur, simulateur.dossierPorts(),
              {QStringLiteral("receive"), QStringLiteral("--port"), QStringLiteral("1"),
               QStringLiteral("--coding"), QStringLiteral("b"), QStringLiteral("--timeout"),
               QStringLiteral("2")});
        QByteArray erreurs;
        QVERIFY(attendAttente(recepteur, erreurs));
        QVERIFY(recepteur.waitForFinished(echangeMs));
        QCOMPARE(recepteur.exitStatus(), QProcess::NormalExit);
        QCOMPARE(recepteur.exitCode(), 0);
        QVERIFY(recepteur.readAllStandardOutput().isEmpty());
        QVERIFY(QString::fromUtf8(erreurs + recepteur.readAllStandardError())
                    .contains(QStringLiteral("aucune marque de départ depuis 2,00 s")));
    }

    // The port goes away in the middle of a fast reception's download: the reception ends
    // with what came, the tool says the loss and tries to open the port again, and counts
    // that reception (asked for one, it stops after it, with status 0 and its line). The
    // cut is given through the simulator's pipe once the download has begun, however long
    // a busy machine took to get there. What the reception reads is the business of the
    // decoders' tests; the same cut with the port back, and the next message received, is
    // that of the tests in virtual time.
    void portPerduPendantUneReception() {
        Simulateur simulateur;
        QVERIFY(simulateur.pret());
        QProcess recepteur;
        lance(recepteur, simulateur.dossierPorts(),
              {QStringLiteral("receive"), QStringLiteral("--port"), QStringLiteral("1"),
               QStringLiteral("--coding"), QStringLiteral("br"), QStringLiteral("--count"),
               QStringLiteral("1")});
        QByteArray erreurs;
        QVERIFY(attendAttente(recepteur, erreurs));
        QVERIFY(envoie(simulateur, QStringLiteral("br"), QStringLiteral("U")));
        QVERIFY(QTest::qWaitFor([&] { return requetesCOM1(simulateur) > 0; }, echangeMs));
        QVERIFY(simulateur.commande("coupe 1"));
        QVERIFY(recepteur.waitForFinished(echangeMs));
        QCOMPARE(recepteur.exitStatus(), QProcess::NormalExit);
        QCOMPARE(recepteur.exitCode(), 0);
        // The line of the reception cut short.
        const QByteArray recu = recepteur.readAllStandardOutput();
        QVERIFY2(recu.endsWith('\n'), recu.constData());
        const QString erreursRecepteur =
            QString::fromUtf8(erreurs + recepteur.readAllStandardError());
        QVERIFY(erreursRecepteur.contains(
            QStringLiteral("liaison perdue : La liaison avec le port COM 1")));
        QVERIFY(erreursRecepteur.contains(QStringLiteral("essaie de rouvrir le port COM 1")));
    }

    void portAbsent() {
        QTemporaryDir vide;
        QProcess outil;
        lance(outil, vide.path(),
              {QStringLiteral("send"), QStringLiteral("--port"), QStringLiteral("0"),
               QStringLiteral("--coding"), QStringLiteral("m"), QStringLiteral("--text"),
               QStringLiteral("e")});
        QVERIFY(outil.waitForFinished(attenteMs));
        QCOMPARE(outil.exitCode(), 2);
        QVERIFY(QString::fromUtf8(outil.readAllStandardError())
                    .contains(QStringLiteral("Le port COM 0 n'existe pas")));
    }
};

QTEST_GUILESS_MAIN(TestTempsReelEchangeLent)
#include "tst_tempsreel_echangelent.moc"
