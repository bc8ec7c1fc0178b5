#include "mainwindow/GoToFolderDialog.h"

#include "mainwindow/FolderPathModel.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

GoToFolderDialog::GoToFolderDialog(LinkItem *root, QWidget *parent)
    : QDialog(parent), m_model(new FolderPathModel(this)), m_filter(new QLineEdit(this)), m_list(new QListView(this)),
      m_count(new QLabel(this)), m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(tr("Go to Folder"));
    m_model->setRoot(root);

    auto *label = new QLabel(tr("&Folder:"), this);
    label->setBuddy(m_filter);
    m_filter->setPlaceholderText(tr("Type any part of the folder's path"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);

    m_list->setModel(m_model);
    m_list->setUniformItemSizes(true); // a hundred thousand rows lay out at once
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTextElideMode(Qt::ElideMiddle);
    m_list->setFocusPolicy(Qt::NoFocus); // the keys reach it through the filter field

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_count);
    layout->addWidget(m_buttons);

    connect(m_filter, &QLineEdit::textChanged, this, &GoToFolderDialog::applyFilter);
    m_list->setAccessibleName(tr("Folders"));
    connect(m_list, &QListView::doubleClicked, this, [this] { accept(); });
    connect(m_buttons, &QDialogButtonBox::accepted, this, &GoToFolderDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &GoToFolderDialog::reject);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        m_buttons->button(QDialogButtonBox::Ok)->setEnabled(current.isValid());
    });

    m_buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    applyFilter(QString());
    m_filter->setFocus();
    resize(560, 420);
}

void GoToFolderDialog::setCurrentFolder(const LinkItem *folder)
{
    const int row = m_model->rowOf(folder);
    if (row < 0)
        return;
    m_list->setCurrentIndex(m_model->index(row));
    m_list->scrollTo(m_list->currentIndex(), QAbstractItemView::PositionAtCenter);
}

LinkItem *GoToFolderDialog::chosenFolder() const
{
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? m_model->folderAt(current.row()) : nullptr;
}

void GoToFolderDialog::accept()
{
    // Enter with nothing in the list chooses nothing and keeps the dialog open.
    if (chosenFolder())
        QDialog::accept();
}

void GoToFolderDialog::applyFilter(const QString &text)
{
    // The best guess is the first folder in tree order, the one nearest the root: type, then Enter.
    m_model->setFilter(text);
    if (m_model->rowCount() > 0)
        m_list->setCurrentIndex(m_model->index(0));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(m_list->currentIndex().isValid());
    updateCount();
}

void GoToFolderDialog::updateCount()
{
    m_count->setText(tr("%1 folders").arg(m_model->rowCount()));
}

bool GoToFolderDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_list, event);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            accept();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
