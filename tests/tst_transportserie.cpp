// The serial transport over a pseudo-terminal made by the test: the test holds the
// master side, the transport opens the slave side like a serial port.

#include "link/ports.h"
#include "link/transportserie.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <grp.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int attenteMs = 3000; // upper bound of every wait; they end as soon as they can

// A pseudo-terminal; the test reads and writes its master side without waiting.
class Pseudoterminal {
public:
    Pseudoterminal() {
        maitre_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (maitre_ < 0 || ::grantpt(maitre_) != 0 || ::unlockpt(maitre_) != 0)
            return;
        ::fcntl(maitre_, F_SETFL, ::fcntl(maitre_, F_GETFL) | O_NONBLOCK);
        if (const char* nom = ::ptsname(maitre_))
            esclave_ = QString::fromLocal8Bit(nom);
    }
    ~Pseudoterminal() { fermeMaitre(); }
    Pseudoterminal(const Pseudoterminal&) = delete;
    Pseudoterminal& operator=(const Pseudoterminal&) = delete;

    bool valide() const { return maitre_ >= 0 && !esclave_.isEmpty(); }
    int maitre() const { return maitre_; }
    const QString& esclave() const { return esclave_; }

    // What the slave side has sent so far.
    QByteArray lis() {
        QByteArray recu;
        char tampon[4096];
        for (;;) {
            const ssize_t n = ::read(maitre_, tampon, sizeof tampon);
            if (n <= 0)
                break;
            recu.append(tampon, n);
        }
        return recu;
    }
    bool ecris(const QByteArray& octets) {
        return ::write(maitre_, octets.constData(), octets.size()) == octets.size();
    }
    void fermeMaitre() {
        if (maitre_ >= 0)
            ::close(maitre_);
        maitre_ = -1;
    }

private:
    int maitre_ = -1;
    QString esclave_;
};

// Reads the master side, letting the event loop run, until `taille` bytes arrived.
QByteArray recoitSurLeMaitre(Pseudoterminal& pty, qsizetype taille) {
    QByteArray recu;
    (void)QTest::qWaitFor(
        [&] {
            recu += pty.lis();
            return recu.size() >= taille;
        },
        attenteMs);
    return recu;
}

TransportSerie* ouvre(Pseudoterminal& pty, OuverturePort& ouverture) {
    ouverture = ouvreportserie(1, pty.esclave());
    return dynamic_cast<TransportSerie*>(ouverture.transport.get());
}

// Processor time of the whole process, in milliseconds.
double tempsprocesseurMs() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

} // namespace

class TestTransportSerie : public QObject {
    Q_OBJECT

private slots:
    void reglagesDeLaLigne();
    void ecritureArriveSurLeMaitre_data();
    void ecritureArriveSurLeMaitre();
    void lectureDeToutCeQuiEstArrive();
    void lectureOctetParOctet();
    void octetsEnAttenteRevientAZero();
    void cheminAbsent();
    void pasUnPortSerie();
    void messagesDOuverture_data();
    void messagesDOuverture();
    void numeroSansPeripherique_data();
    void numeroSansPeripherique();
    void portDejaUtilise();
    void raccrochageFermeLePort();
    void fermeture();
    void messageAccesRefuse_data();
    void messageAccesRefuse();
    void groupeAutorise_data();
    void groupeAutorise();
    void accesRefuseReel();
    void rouvreLeMemeAdaptateur();
    void rouvreLEntreeDuDossierDesPorts();
};

void TestTransportSerie::reglagesDeLaLigne() {
    Pseudoterminal pty;
    QVERIFY(pty.valide());
    OuverturePort ouverture;
    TransportSerie* transport = ouvre(pty, ouverture);
    QVERIFY2(transport, qPrintable(ouverture.erreur));
    QVERIFY(ouverture.erreur.isEmpty());
    QVERIFY(transport->estOuvert());
    QVERIFY(!transport->perdu());
    QCOMPARE(transport->erreurPerte(), QString());

    // Both sides of a pseudo-terminal share the line settings.
    termios reglages{};
    QCOMPARE(::tcgetattr(pty.maitre(), &reglages), 0);
    QCOMPARE(::cfgetospeed(&reglages), speed_t(B9600));
    QCOMPARE(::cfgetispeed(&reglages), speed_t(B9600));
    QCOMPARE(reglages.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(reglages.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(reglages.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(reglages.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(reglages.c_iflag & (IXON | IXOFF), tcflag_t(0));
}

void TestTransportSerie::ecritureArriveSurLeMaitre_data() {
    QTest::addColumn<QByteArray>("octets");

    QByteArray tous;
    for (int i = 0; i < 256; ++i)
        tous.append(char(i));
    QTest::newRow("mesure EA0") << QByteArray("XEA 0\r");
    QTest::newRow("allume, octet 0 et CR") << QByteArray("\0\r", 2);
    QTest::newRow("octet 0 seul") << QByteArray(1, '\0');
    QTest::newRow("éteint, espace et CR") << QByteArray(" \r");
    QTest::newRow("les 256 valeurs") << tous;
}

void TestTransportSerie::ecritureArriveSurLeMaitre() {
    QFETCH(QByteArray, octets);
    Pseudoterminal pty;
    QVERIFY(pty.valide());
    OuverturePort ouverture;
    TransportSerie* transport = ouvre(pty, ouverture);
    QVERIFY2(transport, qPrintable(ouverture.erreur));

    transport->ecris(octets);
    QCOMPARE(recoitSurLeMaitre(pty, octets.size()), octets);
    // Nothing more than what was written.
    QTest::qWait(20);
    QCOMPARE(pty.lis(), QByteArray());
}

void TestTransportSerie::lectureDeToutCeQuiEstArrive() {
    Pseudoterminal pty;
    QVERIFY(pty.valide());
    OuverturePort ouverture;
    TransportSerie* transport = ouvre(pty, ouverture);
    QVERIFY2(transport, qPrintable(ouverture.erreur));

    QCOMPARE(transport->lis(0), QByteArray());
    const QByteArray reponse("123\r\0"
                             "45\r",
                             8);
    QVERIFY(pty.ecris(reponse));
    QByteArray recu;
    QVERIFY(QTest::qWaitFor(
        [&] {
            recu += transport->lis(0);
            return recu.size() >= reponse.size();
        },
        attenteMs));
    QCOMPARE(recu, reponse);
    QCOMPARE(transport->lis(0), QByteArray());
}

void TestTransportSerie::lectureOctetParOctet() {
    Pseudoterminal pty;
    QVERIFY(pty.valide());
    OuverturePort ouverture;
    TransportSerie* transport = ouvre(pty, ouverture);
    QVERIFY2(transport, qPrintable(ouverture.erreur));

    QVERIFY(pty.ecris("ab\x7f"));
    QVERIFY(QTest::qWaitFor([&] { return transport->octetsDisponibles() >= 3; }, attenteMs));
    QCOMPARE(transport->lis(1), QByteArray("a"));
    QCOMPARE(transport->lis(1), QByteArray("b"));
    QCOMPARE(transport->lis(1), QByteArray("\x7f"));
    QCOMPARE(transport->lis(1), QByteArray());
    QCOMPARE(transport->octetsDisponibles(), 0);
}

void TestTransportSerie::octetsEnAttenteRevientAZero() {
    Pseudoterminal pty;
    QVERIFY(pty.valide());
    OuverturePort ouverture;
    TransportSerie* transport = ouvre(pty, ouverture);
    QVERIFY2(transport, qPrintable(ouverture.erreur));

    QCOMPARE(transport->octetsEnAttente(), 0);
    transport->ecris("XEA 0\r");
    QCOMPARE(recoitSurLeMaitre(pty, 6), QByteArray("XEA 0\r"));
    QVERIFY(QTest::qWaitFor([&] { return transport->octetsEnAttente() == 0; }, attenteMs));

    // A pseudo-terminal takes 96 bytes at once, but a line at 9600 baud needs 0.1 s to
    // send them: the count follows the line.
    QElapsedTimer montre;
    montre.start();
    transport->ecris(QByteArray(96, 'x'));
    QCOMPARE(recoitSurLeMaitre(pty, 96).size(), 96);
    const qint64 restants = transport->octetsEnAttente();
    const double ecoule = montre.nsecsElapsed() / 1e9;
    if (ecoule < 0.05)
        QVERIFY2(restants >= 96 - static_cast<qint64>(std::ceil(ecoule * 960)) - 1,
                 qPrintable(QString::number(restants)));
    QVERIFY(QTest::qWaitFor([&] { return transport->octetsEnAttente() == 0; }, attenteMs));
    QVERIFY(montre.nsecsElapsed() / 1e9 >= 0.099);

    // More than the pseudo-terminal holds while nobody reads the master: part of it waits
    // in the port, and leaves as the master is read and the event loop runs.
    const QByteArray gros(256 * 1024, 'x');
    transport->ecris(gros);
    QVERIFY(transport->octetsEnAttente() > 0);
    QCOMPARE(recoitSurLeMaitre(pty, gros.size()).size(), gros.size());
}

void TestTransportSerie::cheminAbsent() {
    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    const QString chemin = dossier.filePath(QStringLiteral("ttyUSB0"));
    const OuverturePort ouverture = ouvreportserie(3, chemin);
    QVERIFY(!ouverture.transport);
    QCOMPARE(ouverture.erreur, messageintrouvable(3, chemin));
    QVERIFY(ouverture.erreur.startsWith(
        QStringLiteral("Le port COM 3 (%1) est introuvable").arg(chemin)));
}

void TestTransportSerie::pasUnPortSerie() {
    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    const QString chemin = dossier.filePath(QStringLiteral("COM5"));
    QFile fichier(chemin);
    QVERIFY(fichier.open(QIODevice::WriteOnly));
    fichier.close();

    const OuverturePort ouverture = ouvreportserie(5, chemin);
    QVERIFY(!ouverture.transport);
    QCOMPARE(ouverture.erreur, messageechecouverture(5, chemin, "ce n'est pas un port série"));
}

void TestTransportSerie::messagesDOuverture_data() {
    QTest::addColumn<QString>("obtenu");
    QTest::addColumn<QString>("attendu");

    QTest::newRow("COM 0") << messageportabsent(0, 4)
                           << "Le port COM 0 n'existe pas : les ports série sont numérotés à "
                              "partir de 1.";
    QTest::newRow("COM -1") << messageportabsent(-1, -1)
                            << "Le port COM -1 n'existe pas : les ports série sont numérotés "
                               "à partir de 1.";
    QTest::newRow("au-delà, nombre inconnu")
        << messageportabsent(9, -1)
        << "Le port COM 9 n'existe pas : aucun périphérique série ne lui correspond.";
    QTest::newRow("au-delà, aucun port")
        << messageportabsent(1, 0)
        << "Le port COM 1 n'existe pas : aucun périphérique série ne lui correspond. Aucun "
           "port série n'a été trouvé sur cet ordinateur.";
    QTest::newRow("au-delà, un port")
        << messageportabsent(2, 1)
        << "Le port COM 2 n'existe pas : aucun périphérique série ne lui correspond. Cet "
           "ordinateur n'a qu'un port série : COM 1.";
    QTest::newRow("au-delà, 33 ports")
        << messageportabsent(40, 33)
        << "Le port COM 40 n'existe pas : aucun périphérique série ne lui correspond. Cet "
           "ordinateur a 33 ports série, de COM 1 à COM 33.";
    QTest::newRow("dossier des ports")
        << messageportabsent(7, 1, "/tmp/banc", {1, 2})
        << "Le port COM 7 n'existe pas : aucun périphérique série ne lui correspond. Le "
           "dossier des ports (LUMICOM_PORTS, /tmp/banc) publie COM 1 et COM 2.";
    QTest::newRow("dossier des ports, trois")
        << messageportabsent(40, 33, "/tmp/banc", {1, 2, 5})
        << "Le port COM 40 n'existe pas : aucun périphérique série ne lui correspond. Le "
           "dossier des ports (LUMICOM_PORTS, /tmp/banc) publie COM 1, COM 2 et COM 5. Les "
           "ports série de cet ordinateur donnent aussi COM 3, COM 4 et COM 6 à COM 33.";
    QTest::newRow("introuvable")
        << messageintrouvable(3, "/dev/ttyUSB0")
        << "Le port COM 3 (/dev/ttyUSB0) est introuvable : le périphérique n'existe pas. "
           "Vérifiez que l'interface est branchée et que le numéro du port est le bon.";
    QTest::newRow("occupé") << messageoccupe(2, "/dev/ttyS1")
                            << "Le port COM 2 (/dev/ttyS1) est déjà utilisé par un autre "
                               "programme. Fermez le programme qui l'utilise, puis "
                               "recommencez.";
    QTest::newRow("autre raison")
        << messageechecouverture(1, "/dev/ttyS0", "Input/output error")
        << "Le port COM 1 (/dev/ttyS0) ne peut pas être ouvert : Input/output error.";
}

void TestTransportSerie::messagesDOuverture() {
    QFETCH(QString, obtenu);
    QFETCH(QString, attendu);
    QCOMPARE(obtenu, attendu);
}

void TestTransportSerie::numeroSansPeripherique_data() {
    QTest::addColumn<int>("numport");
    QTest::newRow("zéro") << 0;
    QTest::newRow("négatif") << -2;
    QTest::newRow("au-delà") << 32767;
}

void TestTransportSerie::numeroSansPeripherique() {
    QFETCH(int, numport);
    qunsetenv("LUMICOM_PORTS");
    const OuverturePort ouverture = ouvreportserie(numport);
    QVERIFY(!ouverture.transport);
    QVERIFY2(
        ouverture.erreur.startsWith(QStringLiteral("Le port COM %1 n'existe pas").arg(numport)),
        qPrintable(ouverture.erreur));
}

void TestTransportSerie::portDejaUtilise() {
    Pseudoterminal pty;
    QVERIFY(pty.valide());
    OuverturePort premiere;
    TransportSerie* transport = ouvre(pty, premiere);
    QVERIFY2(transport, qPrintable(premiere.erreur));

    const OuverturePort seconde = ouvreportserie(2, pty.esclave());
    QVERIFY(!seconde.transport);
    QCOMPARE(seconde.erreur, messageoccupe(2, pty.esclave()));
    QVERIFY(transport->estOuvert());
}

void TestTransportSerie::raccrochageFermeLePort() {
    Pseudoterminal pty;
    QVERIFY(pty.valide());
    OuverturePort ouverture;
    TransportSerie* transport = ouvre(pty, ouverture);
    QVERIFY2(transport, qPrintable(ouverture.erreur));

    // The loss shows at the next read, as the program's tick makes one every 30 or 50 ms.
    pty.fermeMaitre();
    QVERIFY(QTest::qWaitFor(
        [&] {
            transport->lis(0);
            return transport->perdu();
        },
        attenteMs));
    QVERIFY(!transport->estOuvert());
    QVERIFY2(
        transport->erreurPerte().startsWith(
            QStringLiteral("La liaison avec le port COM 1 (%1) a été perdue").arg(pty.esclave())),
        qPrintable(transport->erreurPerte()));

    // Closed, the port no longer reports errors: the event loop waits instead of
    // spinning. Processor time, unlike elapsed time, does not grow with the machine's load.
    const double avant = tempsprocesseurMs();
    QTest::qWait(300);
    QVERIFY2(tempsprocesseurMs() - avant < 150,
             qPrintable(QString::number(tempsprocesseurMs() - avant)));

    // A lost transport takes writes and reads quietly.
    transport->ecris("XEA 0\r");
    QCOMPARE(transport->lis(0), QByteArray());
    QCOMPARE(transport->octetsEnAttente(), 0);
    QVERIFY(transport->perdu());
}

void TestTransportSerie::fermeture() {
    Pseudoterminal pty;
    QVERIFY(pty.valide());
    OuverturePort ouverture;
    TransportSerie* transport = ouvre(pty, ouverture);
    QVERIFY2(transport, qPrintable(ouverture.erreur));

    transport->ferme();
    QVERIFY(!transport->estOuvert());
    QVERIFY(!transport->perdu());
    transport->ferme();
    QCOMPARE(transport->lis(1), QByteArray());

    // Closed, the device is free again.
    const OuverturePort nouvelle = ouvreportserie(1, pty.esclave());
    QVERIFY2(nouvelle.transport, qPrintable(nouvelle.erreur));
}

void TestTransportSerie::messageAccesRefuse_data() {
    QTest::addColumn<int>("numport");
    QTest::addColumn<QString>("chemin");
    QTest::addColumn<QString>("groupe");
    QTest::addColumn<QString>("attendu");

    QTest::newRow("groupe dialout")
        << 3 << "/dev/ttyUSB0"
        << "dialout"
        << "Le port COM 3 (/dev/ttyUSB0) ne peut pas être ouvert : accès refusé. "
           "L'utilisateur doit appartenir au groupe « dialout » propriétaire de "
           "/dev/ttyUSB0 (commande : sudo usermod -aG dialout $USER, puis fermer la "
           "session et se reconnecter).";
    QTest::newRow("groupe uucp") << 1 << "/dev/ttyS0"
                                 << "uucp"
                                 << "Le port COM 1 (/dev/ttyS0) ne peut pas être ouvert : "
                                    "accès refusé. L'utilisateur doit appartenir au groupe "
                                    "« uucp » propriétaire de /dev/ttyS0 (commande : sudo "
                                    "usermod -aG uucp $USER, puis fermer la session et se "
                                    "reconnecter).";
    QTest::newRow("aucun groupe") << 2 << "/dev/ttyS1"
                                  << ""
                                  << "Le port COM 2 (/dev/ttyS1) ne peut pas être ouvert : "
                                     "accès refusé. L'utilisateur n'a pas le droit de lire et "
                                     "d'écrire sur /dev/ttyS1 ; un administrateur doit lui "
                                     "donner ce droit.";
}

void TestTransportSerie::messageAccesRefuse() {
    QFETCH(int, numport);
    QFETCH(QString, chemin);
    QFETCH(QString, groupe);
    QFETCH(QString, attendu);
    QCOMPARE(messageaccesrefuse(numport, chemin, groupe), attendu);
}

void TestTransportSerie::groupeAutorise_data() {
    QTest::addColumn<int>("droits");
    QTest::addColumn<bool>("groupeattendu");

    QTest::newRow("0660") << 0660 << true;
    QTest::newRow("0060") << 0060 << true;
    QTest::newRow("0600") << 0600 << false;
    QTest::newRow("0640") << 0640 << false;
    QTest::newRow("0620") << 0620 << false;
}

void TestTransportSerie::groupeAutorise() {
    QFETCH(int, droits);
    QFETCH(bool, groupeattendu);

    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    const QString chemin = dossier.filePath(QStringLiteral("ttyUSB0"));
    QFile fichier(chemin);
    QVERIFY(fichier.open(QIODevice::WriteOnly));
    fichier.close();
    QCOMPARE(::chmod(QFile::encodeName(chemin).constData(), mode_t(droits)), 0);

    struct stat etat {};
    QCOMPARE(::stat(QFile::encodeName(chemin).constData(), &etat), 0);
    const group* g = ::getgrgid(etat.st_gid);
    QVERIFY(g);
    QCOMPARE(groupeautorise(chemin),
             groupeattendu ? QString::fromLocal8Bit(g->gr_name) : QString());
    QCOMPARE(groupeautorise(dossier.filePath(QStringLiteral("absent"))), QString());
}

void TestTransportSerie::accesRefuseReel() {
    if (::geteuid() == 0)
        QSKIP("The administrator opens every file: access cannot be refused.");

    // Owner without rights, group with both: the owner's bits apply to the owner, so
    // the opening is refused and the group is the one that may use the file.
    QTemporaryDir dossier;
    QVERIFY(dossier.isValid());
    const QString chemin = dossier.filePath(QStringLiteral("ttyUSB0"));
    QFile fichier(chemin);
    QVERIFY(fichier.open(QIODevice::WriteOnly));
    fichier.close();
    QCOMPARE(::chmod(QFile::encodeName(chemin).constData(), 0060), 0);

    const OuverturePort ouverture = ouvreportserie(4, chemin);
    QVERIFY(!ouverture.transport);
    QCOMPARE(ouverture.erreur, messageaccesrefuse(4, chemin, groupeautorise(chemin)));
    QVERIFY(!groupeautorise(chemin).isEmpty());
}

namespace {

bool lie(const QString& cible, const QString& lien) {
    QFile::remove(lien);
    return QFile::link(cible, lien);
}

} // namespace

// COM 1 is a USB adapter the system names by its serial number. Unplugged, COM 1 leads to
// the computer's own port: the port is not opened again there, the adapter is waited for;
// plugged back under another number, the adapter is found by its name.
void TestTransportSerie::rouvreLeMemeAdaptateur() {
    QTemporaryDir racine;
    QVERIFY(racine.isValid());
    const QString dev = racine.filePath(QStringLiteral("dev"));
    const QString parid = racine.filePath(QStringLiteral("by-id"));
    QVERIFY(QDir().mkpath(dev) && QDir().mkpath(parid));
    const QString nom = parid + QStringLiteral("/usb-FTDI_FT232R_A5-if00-port0");
    auto adaptateur = std::make_unique<Pseudoterminal>();
    Pseudoterminal integre;
    QVERIFY(adaptateur->valide() && integre.valide());
    QVERIFY(lie(adaptateur->esclave(), dev + QStringLiteral("/ttyUSB0")));
    QVERIFY(lie(integre.esclave(), dev + QStringLiteral("/ttyS0")));
    QVERIFY(lie(QStringLiteral("../dev/ttyUSB0"), nom));

    OuverturePort ouverture = ouvreportserie(1, QString(), dev, parid);
    QVERIFY2(ouverture.transport, qPrintable(ouverture.erreur));
    QCOMPARE(ouverture.attendu, nom);
    QVERIFY(ouverture.rouvre);

    // Unplugged: the device and its name go away; COM 1 now leads to ttyS0.
    adaptateur.reset();
    ouverture.transport->ferme();
    QVERIFY(QFile::remove(dev + QStringLiteral("/ttyUSB0")) && QFile::remove(nom));
    QCOMPARE(peripheriquecom(1, QString(), dev), dev + QStringLiteral("/ttyS0"));
    const OuverturePort absent = ouverture.rouvre();
    QVERIFY(!absent.transport);
    QCOMPARE(absent.erreur, messageintrouvable(1, nom));
    // ttyS0 is free: nobody opened it.
    const OuverturePort libre = ouvreportserie(2, integre.esclave());
    QVERIFY2(libre.transport, qPrintable(libre.erreur));

    // Plugged back as ttyUSB1.
    Pseudoterminal retour;
    QVERIFY(retour.valide());
    QVERIFY(lie(retour.esclave(), dev + QStringLiteral("/ttyUSB1")));
    QVERIFY(lie(QStringLiteral("../dev/ttyUSB1"), nom));
    const OuverturePort revenu = ouverture.rouvre();
    QVERIFY2(revenu.transport, qPrintable(revenu.erreur));
    QCOMPARE(revenu.transport->peripherique(), retour.esclave());
    QCOMPARE(revenu.attendu, nom);
    QVERIFY(revenu.rouvre);
    revenu.transport->ecris("XEA 0\r");
    QCOMPARE(recoitSurLeMaitre(retour, 6), QByteArray("XEA 0\r"));
}

// A port of the ports directory (LUMICOM_PORTS) is opened again by its entry there, which
// the simulator publishes again on the connection's return, never by the number looked up
// in /dev while the entry is away.
void TestTransportSerie::rouvreLEntreeDuDossierDesPorts() {
    QTemporaryDir racine;
    QVERIFY(racine.isValid());
    const QString ports = racine.filePath(QStringLiteral("ports"));
    const QString dev = racine.filePath(QStringLiteral("dev"));
    QVERIFY(QDir().mkpath(ports) && QDir().mkpath(dev));
    const QString entree = ports + QStringLiteral("/COM1");
    auto premier = std::make_unique<Pseudoterminal>();
    Pseudoterminal integre;
    QVERIFY(premier->valide() && integre.valide());
    QVERIFY(lie(premier->esclave(), entree));
    QVERIFY(lie(integre.esclave(), dev + QStringLiteral("/ttyS0")));

    OuverturePort ouverture =
        ouvreportserie(1, ports, dev, racine.filePath(QStringLiteral("by-id")));
    QVERIFY2(ouverture.transport, qPrintable(ouverture.erreur));
    QCOMPARE(ouverture.attendu, entree);

    premier.reset();
    ouverture.transport->ferme();
    QVERIFY(QFile::remove(entree));
    QCOMPARE(ouverture.rouvre().erreur, messageintrouvable(1, entree));

    Pseudoterminal retour;
    QVERIFY(retour.valide());
    QVERIFY(lie(retour.esclave(), entree));
    const OuverturePort revenu = ouverture.rouvre();
    QVERIFY2(revenu.transport, qPrintable(revenu.erreur));
    QCOMPARE(revenu.transport->peripherique(), entree);
    revenu.transport->ecris(" \r");
    QCOMPARE(recoitSurLeMaitre(retour, 2), QByteArray(" \r"));
}

QTEST_GUILESS_MAIN(TestTransportSerie)
#include "tst_transportserie.moc"
