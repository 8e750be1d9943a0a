#pragma once

#include <QList>
#include <QWidget>

class QAction;
class QMenu;
class QMenuBar;
class QVBoxLayout;

// A menu bar that wraps onto further rows when its menus do not fit the width of the
// window, as the form's menu bar does on the system it was drawn for, instead of hiding
// the last menus behind an extension button. Menus and commands keep their order.
class BarreMenus : public QWidget {
    Q_OBJECT
public:
    explicit BarreMenus(QWidget* parent = nullptr);

    QMenu* addMenu(const QString& titre);
    // A command of the bar itself, without items.
    QAction* addAction(const QString& texte);

    // The rows as they stand, each a QMenuBar holding some of the menus.
    const QList<QMenuBar*>& rangees() const { return rangees_; }
    // The menus and commands of the bar, in order.
    const QList<QAction*>& articles() const { return articles_; }

protected:
    void resizeEvent(QResizeEvent* evenement) override;
    // A new font (the option of the large font): the menus take new widths.
    void changeEvent(QEvent* evenement) override;

private:
    struct Largeurs {
        QList<int> menus; // of each menu, in order
        int marge = 0;    // before the first menu (and after the last)
        int ecart = 0;    // between two menus
    };
    void repartit();
    Largeurs largeurs();

    QVBoxLayout* disposition_;
    QList<QMenuBar*> rangees_;
    QList<QAction*> articles_;
    int largeurrepartie_ = -1;
};
