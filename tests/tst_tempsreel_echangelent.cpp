// Two stations of the program as two processes, lumicom-tool receive and lumicom-tool send,
// each with its real start-up, over lumicom-sim's pseudo-terminals at 9600 bauds: the
// laser of COM1 lights the photodiode of COM2. The waits are bounded loosely for a loaded
// machine and end as soon as the awaited thing happens.

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
    Simulateur() {
        processus_.setStandardOutputFile(QProcess::nullDevice());
        processus_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        processus_.start(QStringLiteral(LUMICOM_SIM),
                         {QStringLiteral("--dir"), dossierPorts(), QStringLiteral("--journal"),
                          temporaire_.filePath(QStringLiteral("journal.txt"))});
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

// Station 2 waits in its idle loop (its threshold measured in the dark), then station 1
// sends `texte`; returns what station 2 printed.
QByteArray echange(const QString& codage, const QString& texte) {
    Simulateur simulateur;
    if (!simulateur.pret())
        return "lumicom-sim ne démarre pas";
    QProcess recepteur;
    lance(recepteur, simulateur.dossierPorts(),
          {QStringLiteral("receive"), QStringLiteral("--port"), QStringLiteral("2"),
           QStringLiteral("--coding"), codage, QStringLiteral("--count"), QStringLiteral("1"),
           QStringLiteral("--timeout"), QStringLiteral("60")});
    QByteArray erreurs;
    if (!QTest::qWaitFor(
            [&] {
                erreurs += recepteur.readAllStandardError();
                return erreurs.contains("en attente d'un message");
            },
            echangeMs))
        return "le poste 2 ne se met pas en attente : " + erreurs;

    QProcess emetteur;
    emetteur.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    lance(emetteur, simulateur.dossierPorts(),
          {QStringLiteral("send"), QStringLiteral("--port"), QStringLiteral("1"),
           QStringLiteral("--coding"), codage, QStringLiteral("--text"), texte});
    if (!emetteur.waitForFinished(echangeMs) || emetteur.exitCode() != 0)
        return "le poste 1 n'a pas fini son envoi";
    if (!recepteur.waitForFinished(echangeMs) || recepteur.exitCode() != 0)
        return "le poste 2 ne s'est pas arrêté après un message";
    return recepteur.readAllStandardOutput();
}

} // namespace

class TestTempsReelEchangeLent : public QObject {
    Q_OBJECT

private slots:
    void morse() { QCOMPARE(echange(QStringLiteral("m"), QStringLiteral("e")), "e\n"); }

    void binaire() {
        // The darkness after the start mark gives one leading blank at normal speed.
        QCOMPARE(echange(QStringLiteral("b"), QStringLiteral("a")), " a\n");
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
