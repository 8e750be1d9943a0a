#include "app/aide.h"

#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>

// The help browser over the guide compiled into the program: its contents, its links, its
// history and its search.
class TstAide : public QObject {
    Q_OBJECT

private slots:
    void leGuideEstDansLeProgramme() {
        FenetreAide aide;
        QCOMPARE(aide.texte()->documentTitle(), QStringLiteral("Guide d'utilisation de lumicom"));
        QVERIFY(aide.texte()->toPlainText().contains(QStringLiteral("82 kOhm")));
    }

    // The contents come from the guide's headings: every section has its anchor, none
    // twice, and the parts a lesson needs are all there.
    void sommaire() {
        FenetreAide aide;
        const QStringList ancres = aide.ancres();
        QCOMPARE(QSet<QString>(ancres.begin(), ancres.end()).size(), ancres.size());
        QVERIFY(!ancres.contains(QString()));
        for (const char* partie :
             {"montage",    "demarrage",    "seuil",        "seance",         "codages",
              "morse-lent", "binaire-lent", "morse-rapide", "binaire-rapide", "codes-predefinis",
              "menus",      "options",      "estimation",   "banc",           "enregistrements",
              "decoder",    "visionneuse",  "messages",     "commandes",      "licence"})
            QVERIFY2(ancres.contains(QLatin1String(partie)), partie);
        // The sections of a part are under it, in order.
        QTreeWidgetItem* codages = nullptr;
        for (int i = 0; i < aide.sommaire()->topLevelItemCount(); ++i)
            if (aide.sommaire()->topLevelItem(i)->data(0, Qt::UserRole).toString() == u"codages")
                codages = aide.sommaire()->topLevelItem(i);
        QVERIFY(codages);
        QCOMPARE(codages->childCount(), 5);
        QCOMPARE(codages->child(0)->data(0, Qt::UserRole).toString(), QStringLiteral("morse-lent"));
        QCOMPARE(codages->child(4)->text(0), QStringLiteral("Les codes prédéfinis e1 à e4"));
    }

    // Every link of the guide leads to a section of the guide.
    void liensInternes() {
        FenetreAide aide;
        QSet<QString> ancres;
        QStringList liens;
        for (QTextBlock bloc = aide.texte()->document()->begin(); bloc.isValid();
             bloc = bloc.next()) {
            for (auto morceau = bloc.begin(); !morceau.atEnd(); ++morceau) {
                const QTextCharFormat format = morceau.fragment().charFormat();
                for (const QString& nom : format.anchorNames())
                    ancres.insert(nom);
                if (!format.anchorHref().isEmpty())
                    liens << format.anchorHref();
            }
        }
        QVERIFY(liens.size() >= 10);
        for (const QString& lien : liens) {
            QVERIFY2(lien.startsWith(u'#'), qPrintable(lien));
            QVERIFY2(ancres.contains(lien.mid(1)), qPrintable(lien));
        }
    }

    // A section shown selects its entry; back and forward go through the sections seen.
    void historique() {
        FenetreAide aide;
        QVERIFY(!aide.precedent()->isEnabled());
        aide.montre(QStringLiteral("montage"));
        aide.montre(QStringLiteral("banc"));
        QCOMPARE(aide.sommaire()->currentItem()->text(0), QStringLiteral("Le banc simulé"));
        QVERIFY(aide.precedent()->isEnabled());
        QVERIFY(!aide.suivant()->isEnabled());
        aide.precedent()->click();
        QCOMPARE(aide.texte()->source().fragment(), QStringLiteral("montage"));
        QCOMPARE(aide.sommaire()->currentItem()->text(0), QStringLiteral("Le montage"));
        QVERIFY(aide.suivant()->isEnabled());
        aide.suivant()->click();
        QCOMPARE(aide.texte()->source().fragment(), QStringLiteral("banc"));
        aide.montre(QString());
        QCOMPARE(aide.texte()->source().fragment(), QString());
        QCOMPARE(aide.sommaire()->currentItem(), nullptr);
    }

    void clicDansLeSommaire() {
        FenetreAide aide;
        QTreeWidgetItem* article = aide.sommaire()->topLevelItem(2);
        QVERIFY(article);
        const QString ancre = article->data(0, Qt::UserRole).toString();
        QVERIFY(!ancre.isEmpty());
        emit aide.sommaire()->itemClicked(article, 0);
        QCOMPARE(aide.texte()->source().fragment(), ancre);
        QCOMPARE(aide.sommaire()->currentItem(), article);
    }

    // The search ignores case and accents, goes on from the last find, starts again at
    // the top once, and says when the guide does not hold the text.
    void recherche_data() {
        QTest::addColumn<QString>("cherche");
        QTest::addColumn<QString>("trouve");
        QTest::newRow("sans accents")
            << QStringLiteral("telechargement") << QStringLiteral("téléchargement");
        QTest::newRow("majuscules") << QStringLiteral("EA0") << QStringLiteral("EA0");
        QTest::newRow("minuscules pour des majuscules")
            << QStringLiteral("resultat du test") << QStringLiteral("Résultat du test");
        QTest::newRow("blancs autour") << QStringLiteral("  dialout ") << QStringLiteral("dialout");
    }

    void recherche() {
        QFETCH(QString, cherche);
        QFETCH(QString, trouve);
        FenetreAide aide;
        QVERIFY(aide.cherche(cherche));
        QCOMPARE(aide.texte()->textCursor().selectedText(), trouve);
        QCOMPARE(aide.avis()->text(), QString());
    }

    void rechercheSuivanteEtReprise() {
        FenetreAide aide;
        const QString titre = QStringLiteral("lumicom : communiquer par la lumière");
        QVERIFY(aide.cherche(titre));
        const int premiere = aide.texte()->textCursor().selectionStart();
        QVERIFY(aide.cherche(titre)); // the only one: found again from the top
        QCOMPARE(aide.texte()->textCursor().selectionStart(), premiere);
        QCOMPARE(aide.avis()->text(), QStringLiteral("Recherche reprise au début du guide."));

        QVERIFY(aide.cherche(QStringLiteral("photodiode")));
        const int une = aide.texte()->textCursor().selectionStart();
        QVERIFY(aide.cherche(QStringLiteral("photodiode")));
        QVERIFY(aide.texte()->textCursor().selectionStart() > une);
    }

    void rechercheSansResultat() {
        FenetreAide aide;
        QVERIFY(aide.cherche(QStringLiteral("photodiode")));
        const QTextCursor avant = aide.texte()->textCursor();
        QVERIFY(!aide.cherche(QStringLiteral("zorglub")));
        QCOMPARE(aide.avis()->text(),
                 QStringLiteral("« zorglub » ne se trouve pas dans le guide."));
        QCOMPARE(aide.texte()->textCursor().selectionStart(), avant.selectionStart());
        QVERIFY(!aide.cherche(QStringLiteral("   ")));
        QCOMPARE(aide.avis()->text(), QString());
        // The search field gives its text to the search with Enter.
        aide.recherche()->setText(QStringLiteral("Regressi"));
        QTest::keyClick(aide.recherche(), Qt::Key_Return);
        QCOMPARE(aide.texte()->textCursor().selectedText(), QStringLiteral("Regressi"));
    }
};

QTEST_MAIN(TstAide)
#include "tst_aide.moc"
