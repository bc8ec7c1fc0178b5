#pragma once

#include <QDialog>

class Prompts;
class QLabel;
class QPushButton;
class FavoritesTree;

// The Favorites chooser: the folders of the Favorites directory as a tree, from which the user picks
// the folder to import from. OK ends the dialog with 1, Cancel and Esc with 2.
//
// When there is no Favorites folder, the tree says so and a Browse button lets the user pick any folder
// instead; OK stays disabled until there is a folder to import from.
class FavoritesFolderDialog : public QDialog
{
    Q_OBJECT
public:
    enum Result { Ok = 1, Cancel = 2 };

    // Builds the tree from rootPath (normally platform::favoritesPath()).
    FavoritesFolderDialog(QWidget *owner, Prompts &prompts, const QString &rootPath);

    QLabel *promptLabel() const { return m_promptLabel; }
    FavoritesTree *favoritesTree() const { return m_favoritesTree; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }
    QPushButton *browseButton() const { return m_browseButton; }
    // The notice shown in the tree when there is no Favorites folder.
    QLabel *noFavoritesLabel() const { return m_noFavoritesLabel; }

    void reject() override;

public slots:
    void browse();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // False when rootPath is no folder.
    bool setRoot(const QString &rootPath);

    Prompts &m_prompts;
    QLabel *m_promptLabel;
    FavoritesTree *m_favoritesTree;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
    QPushButton *m_browseButton;
    QLabel *m_noFavoritesLabel;
};
