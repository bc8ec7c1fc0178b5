#include "mainwindow/RestoreCommands.h"

#include "mainwindow/CollectionView.h"

#include "mainwindow/LinkListModel.h"
#include "mainwindow/RestoreDialog.h"
#include "mainwindow/UpdatesGuard.h"
#include "platform/Background.h"
#include "store/CollectionDocument.h"
#include "store/LinkItem.h"
#include "store/Repository.h"
#include "widgets/MessageBoxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

#include <algorithm>

RestoreCommands::RestoreCommands(CollectionDocument *document, CollectionView *view, QWidget *parent)
    : QObject(parent), m_document(document), m_view(view), m_parent(parent), m_dataFile(Repository::DataFile())
{
}

Backups RestoreCommands::backups() const
{
    Backups backups(m_dataFile, m_clock);
    backups.setKeep(m_kept);
    return backups;
}

RestoreCommands::~RestoreCommands()
{
    stopDaily();
}

void RestoreCommands::keepDaily()
{
    if (m_keepingDaily)
        return;
    Backups daily = backups();
    if (daily.hasToday())
        return;
    m_keepingDaily = true;
    const int run = ++m_dailyRuns;
    m_daily = Background::run([daily = std::move(daily)](QPromise<Daily> &promise) mutable {
        Daily made;
        made.kept = daily.makeDaily(&made.error, [&promise] { return promise.isCanceled(); });
        promise.addResult(made);
    });
    // Not called for a backup that was cancelled; one stopped after it had ended is not told either.
    Background::whenDone(m_daily, this, [this, run](const QFuture<Daily> &made) {
        if (run == m_dailyRuns && !made.isCanceled())
            dailyEnded(made.result());
    });
}

void RestoreCommands::dailyEnded(const Daily &daily)
{
    if (!m_keepingDaily)
        return;
    m_keepingDaily = false;
    if (!daily.kept) {
        qWarning("Quillmark: today's backup could not be made: %s", qPrintable(daily.error));
        if (m_view)
            m_view->setStatusText(tr("Today's backup could not be made: %1").arg(daily.error));
    }
    emit dailyBackupEnded(daily.kept, daily.error);
}

void RestoreCommands::stopDaily()
{
    if (!m_keepingDaily)
        return;
    m_keepingDaily = false;
    m_daily.cancel();
    m_daily.waitForFinished();
}

bool RestoreCommands::keepBackup()
{
    // The backup made now takes the place of the start-up one.
    stopDaily();
    const LinkItem *root = m_document->root();
    if (!root)
        return false;
    QString error;
    if (backups().save(*root, &error))
        return true;
    MessageBoxes::error(m_parent, QStringLiteral("Quillmark"),
                        tr("The collection could not be kept as a backup: %1").arg(error));
    return false;
}

void RestoreCommands::restoreFromBackup()
{
    if (!m_document->root())
        return;
    RestoreDialog dialog(backups().list(), m_parent);
    emit dialogShown(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.chosenPath().isEmpty())
        return;
    const QString path = dialog.chosenPath();
    const QString day = QLocale().toString(Backups::dateOf(path), QLocale::LongFormat);
    if (!MessageBoxes::question(m_parent, QStringLiteral("Quillmark"),
                                tr("Replace the collection with the backup of %1? The collection as it is now "
                                   "is kept as today's backup.")
                                    .arg(day)))
        return;
    restore(path);
}

bool RestoreCommands::restore(const QString &backup)
{
    LinkItem *root = m_document->root();
    if (!root)
        return false;
    // Read before today's backup is made: that may be the very file.
    auto top = LinkItem::MakeFolder(Repository::RootName);
    QString error;
    if (!Backups::readWhole(backup, *top, &error)) {
        MessageBoxes::error(m_parent, QStringLiteral("Quillmark"),
                            tr("The backup %1 cannot be restored: %2").arg(QDir::toNativeSeparators(backup), error));
        return false;
    }
    if (!keepBackup())
        return false;

    std::vector<LinkItem *> current;
    for (const auto &child : root->Children)
        current.push_back(child.get());
    std::vector<std::unique_ptr<LinkItem>> restored;
    while (top->Children.Count() > 0)
        restored.push_back(top->Children.TakeAt(top->Children.Count() - 1));
    std::reverse(restored.begin(), restored.end());
    {
        // The list is relisted below: emptying it first spares removing its rows one by one.
        UpdatesGuard guard(m_parent);
        m_view->clearList();
        // One step to undo: the collection as it was comes back whole.
        m_document->beginCommand(QCoreApplication::translate("RestoreCommands", "Restore from Backup"));
        m_document->removeItems(current);
        m_document->insertChildren(root, std::move(restored));
        // The root keeps its name; what was written about it comes back too. Its visits are counted anew as
        // it is shown.
        if (root->Description != top->Description || root->Rating != top->Rating) {
            m_document->aboutToEditFields(root);
            root->Description = top->Description;
            root->Rating = top->Rating;
            m_document->fieldsEdited(root, CollectionDocument::Field::Description | CollectionDocument::Field::Rating);
        }
        m_document->endCommand();
    }
    m_view->showFolder(root);
    return true;
}
