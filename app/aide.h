#pragma once

#include <QStringList>
#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The user guide, in French, compiled into the program (docs/guide/guide.html).
inline const QUrl adresseguide = QUrl(QStringLiteral("qrc:/aide/guide.html"));

// The help browser: the guide with its contents at the left, made from the guide's own
// headings (each section is found by the anchor of its heading), back and forward through
// the sections visited, the start of the guide, and a search in its text.
class FenetreAide : public QWidget {
    Q_OBJECT
public:
    explicit FenetreAide(QWidget* parent = nullptr);

    // Shows the section whose heading carries the anchor `ancre`; the start of the guide
    // when it is empty.
    void montre(const QString& ancre);
    // Selects the next occurrence of `texte` after the selection, going round to the
    // start once; false, with a notice under the guide, when the guide does not hold it.
    bool cherche(const QString& texte);

    QTextBrowser* texte() const { return texte_; }
    QTreeWidget* sommaire() const { return sommaire_; }
    QToolButton* precedent() const { return precedent_; }
    QToolButton* suivant() const { return suivant_; }
    QLineEdit* recherche() const { return recherche_; }
    QLabel* avis() const { return avis_; }
    // The anchors of the sections in the contents, in the guide's order.
    QStringList ancres() const;

private:
    void construitsommaire();
    void suitsource(const QUrl& source);

    QTextBrowser* texte_;
    QTreeWidget* sommaire_;
    QToolButton* precedent_;
    QToolButton* suivant_;
    QLineEdit* recherche_;
    QLabel* avis_;
};
