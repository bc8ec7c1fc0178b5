#pragma once

#include <QDialog>

class LinkItem;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListView;
class FolderPathModel;

// "Go to Folder": every folder of the collection by its path, narrowed as the user types. The keyboard stays
// in the filter field: the arrow and page keys move in the list, Enter chooses. Shown modally; after
// exec() returns Accepted, chosenFolder() is the folder to show.
class GoToFolderDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GoToFolderDialog(LinkItem *root, QWidget *parent = nullptr);

    // Puts the list on this folder (the shown folder, when the dialog opens).
    void setCurrentFolder(const LinkItem *folder);
    // The folder the list is on; after acceptance, the one chosen.
    LinkItem *chosenFolder() const;

    QLineEdit *filterEdit() const { return m_filter; }
    QListView *folderList() const { return m_list; }
    FolderPathModel *model() const { return m_model; }

    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyFilter(const QString &text);
    void updateCount();

    FolderPathModel *m_model;
    QLineEdit *m_filter;
    QListView *m_list;
    QLabel *m_count;
    QDialogButtonBox *m_buttons;
};
