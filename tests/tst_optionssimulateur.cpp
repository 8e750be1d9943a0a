#include "sim/optionssimulateur.h"

#include <QTest>

namespace {

LectureOptions lis(const QStringList& arguments) {
    return lisOptions(QStringList{QStringLiteral("lumicom-sim")} + arguments);
}

// The faults of every port in one line, "COM1 muette coupure=3 | COM2 -".
QString resumePannes(const ReglagesBanc& banc) {
    QStringList ports;
    for (std::size_t i = 0; i < banc.pannes.size(); ++i) {
        const Pannes& p = banc.pannes[i];
        QStringList mots{QStringLiteral("COM%1").arg(i + 1)};
        if (p.muette)
            mots << QStringLiteral("muette");
        if (p.charabia)
            mots << QStringLiteral("charabia");
        if (p.retard != 0)
            mots << QStringLiteral("retard=%1").arg(p.retard);
        if (p.coupureApres >= 0)
            mots << QStringLiteral("coupure=%1").arg(p.coupureApres);
        if (p.retourCoupure >= 0)
            mots << QStringLiteral("retour=%1").arg(p.retourCoupure);
        if (p.blocageApres >= 0)
            mots << QStringLiteral("blocage=%1").arg(p.blocageApres);
        if (p.lumiere != Pannes::Lumiere::Normale)
            mots << (p.lumiere == Pannes::Lumiere::Allumee ? QStringLiteral("allumee")
                                                           : QStringLiteral("eteinte"));
        if (mots.size() == 1)
            mots << QStringLiteral("-");
        ports << mots.join(QLatin1Char(' '));
    }
    return ports.join(QStringLiteral(" | "));
}

} // namespace

class TestOptionsSimulateur : public QObject {
    Q_OBJECT

private slots:
    void pannes_data() {
        QTest::addColumn<QString>("ligne");
        QTest::addColumn<QString>("pannes");
        QTest::newRow("aucune") << ""
                                << "COM1 - | COM2 -";
        QTest::newRow("une de chaque")
            << "--muette 1 --charabia 2 --retard 2:0.5 --coupure 1:3 --lumiere-bloquee 2:eteinte "
               "--blocage 2:7"
            << "COM1 muette coupure=3 | COM2 charabia retard=0.5 blocage=7 eteinte";
        QTest::newRow("répétée, accent") << "--muette 1 --muette 2 --lumiere-bloquee 1:allumée"
                                         << "COM1 muette allumee | COM2 muette";
        QTest::newRow("port 4 déclaré après") << "--coupure 4:0 --interfaces 4"
                                              << "COM1 - | COM2 - | COM3 - | COM4 coupure=0";
        QTest::newRow("coupure avec retour") << "--coupure 2:0:2.5"
                                             << "COM1 - | COM2 coupure=0 retour=2.5";
        QTest::newRow("retour immédiat") << "--coupure 1:4:0"
                                         << "COM1 coupure=4 retour=0 | COM2 -";
    }
    void pannes() {
        QFETCH(QString, ligne);
        QFETCH(QString, pannes);
        const LectureOptions lecture = lis(ligne.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        QCOMPARE(lecture.message, QString());
        QCOMPARE(lecture.issue, LectureOptions::Issue::Lancer);
        QCOMPARE(resumePannes(lecture.options.banc), pannes);
    }

    void reglages() {
        const LectureOptions lecture =
            lis({"--interfaces", "3", "--boucle-locale", "--periode-echantillonnage", "1e-4",
                 "--eclaire", "4.5", "--graine", "42", "--dir", "/d", "--journal", "-",
                 "--journal-max", "2,5"});
        QCOMPARE(lecture.issue, LectureOptions::Issue::Lancer);
        const ReglagesBanc& b = lecture.options.banc;
        QCOMPARE(b.nombreInterfaces, 3);
        QVERIFY(b.boucleLocale);
        QCOMPARE(b.interface.periodeEchantillonnage, 1e-4);
        QCOMPARE(b.interface.delaiReponse, ReglagesInterface{}.delaiReponse);
        QCOMPARE(b.lumiere.niveauEclaire, 4.5);
        QCOMPARE(b.lumiere.graine, std::uint64_t(42));
        QCOMPARE(lecture.options.dossier, QStringLiteral("/d"));
        QCOMPARE(lecture.options.journal, QStringLiteral("-"));
        QCOMPARE(lecture.options.journalmax, qint64(2500000));
        QCOMPARE(lis({}).options.journalmax, qint64(10000000));
    }

    // Slips in milliseconds, stalls as a share of the changes.
    void glissements_data() {
        QTest::addColumn<QString>("ligne");
        QTest::addColumn<double>("glissement");
        QTest::addColumn<double>("arrets");
        QTest::newRow("aucun") << "" << 0.0 << 0.0;
        QTest::newRow("4 ms") << "--glissement 4" << 0.004 << 0.0;
        QTest::newRow("0,5 ms et tous les changements")
            << "--glissement 0.5 --arrets 1" << 0.0005 << 1.0;
        QTest::newRow("arrêts seuls") << "--arrets 0.02" << 0.0 << 0.02;
    }
    void glissements() {
        QFETCH(QString, ligne);
        QFETCH(double, glissement);
        QFETCH(double, arrets);
        const LectureOptions lecture = lis(ligne.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        QCOMPARE(lecture.issue, LectureOptions::Issue::Lancer);
        QCOMPARE(lecture.options.banc.lumiere.glissement, glissement);
        QCOMPARE(lecture.options.banc.lumiere.proportionArrets, arrets);
        QCOMPARE(lecture.options.banc.lumiere.dureeArret, 0.1);
    }

    void refus_data() {
        QTest::addColumn<QString>("ligne");
        QTest::addColumn<QString>("message");
        QTest::newRow("port absent") << "--retard 3:1"
                                     << "--retard « 3:1 » : le port doit être un numéro de 1 à 2";
        QTest::newRow("requêtes négatives")
            << "--coupure 2:-1"
            << "--coupure « 2:-1 » : un nombre de requêtes positif ou nul est attendu";
        QTest::newRow("retour négatif")
            << "--coupure 2:1:-0.5"
            << "--coupure « 2:1:-0.5 » : un nombre de secondes positif ou nul est attendu";
        QTest::newRow("champ en trop") << "--coupure 2:1:2:3"
                                       << "--coupure « 2:1:2:3 » : un nombre de requêtes";
        QTest::newRow("lumière inconnue") << "--lumiere-bloquee 1:bleue"
                                          << "« allumee » ou « eteinte »";
        QTest::newRow("paramètre en trop") << "--muette 1:2"
                                           << "un numéro de port est attendu";
        QTest::newRow("paramètre manquant") << "--retard 1"
                                            << "la forme PORT:VALEUR est attendue";
        QTest::newRow("pas un nombre") << "--delai-reponse vite"
                                       << "--delai-reponse « vite »";
        QTest::newRow("période nulle") << "--periode-echantillonnage 0"
                                       << "plus grand que 0";
        QTest::newRow("tension hors de 0 à 5 V") << "--obscur 6"
                                                 << "une tension de 0 à 5 V est attendue";
        QTest::newRow("aucune interface") << "--interfaces 0"
                                          << "un entier de 1 à 32";
        QTest::newRow("option inconnue") << "--vitesse 2"
                                         << "option inconnue « --vitesse »";
        QTest::newRow("journal négatif") << "--journal-max -1"
                                         << "--journal-max";
        QTest::newRow("glissement négatif") << "--glissement -1"
                                            << "--glissement « -1 » : un nombre positif ou nul";
        QTest::newRow("arrêts au-delà de 1")
            << "--arrets 1.01"
            << "--arrets « 1.01 » : une part de 0 à 1 est attendue";
        QTest::newRow("valeur manquante") << "--graine"
                                          << "valeur manquante après « --graine »";
    }
    void refus() {
        QFETCH(QString, ligne);
        QFETCH(QString, message);
        const LectureOptions lecture = lis(ligne.split(QLatin1Char(' ')));
        QCOMPARE(lecture.issue, LectureOptions::Issue::Erreur);
        QVERIFY2(lecture.message.contains(message), qPrintable(lecture.message));
    }

    void aide() {
        const LectureOptions lecture = lis({"--help"});
        QCOMPARE(lecture.issue, LectureOptions::Issue::Aide);
        QVERIFY(lecture.message.startsWith(u"Utilisation : lumicom-sim"));
        QVERIFY(lecture.message.contains(u"(défaut : 0.0013)"));
        QVERIFY(lecture.message.contains(u"--glissement MS"));
        QVERIFY(lecture.message.contains(u"arrive en plus 100 ms plus tard"));
    }
};

QTEST_GUILESS_MAIN(TestOptionsSimulateur)
#include "tst_optionssimulateur.moc"
