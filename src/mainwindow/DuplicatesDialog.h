#pragma once

#include "store/UrlKey.h"

#include <QDialog>

class QCheckBox;
class QRadioButton;

// Find Duplicates' options: what else two addresses may differ in, and where to look.
class DuplicatesDialog : public QDialog
{
    Q_OBJECT
public:
    // folderName: the shown folder's name, offered as the place to look below.
    DuplicatesDialog(const QString &folderName, QWidget *parent = nullptr);

    UrlKeyOptions options() const;
    void setOptions(UrlKeyOptions options);
    // True to look below the shown folder, false for the whole collection.
    bool belowFolder() const;

    QCheckBox *fragmentBox() const { return m_fragment; }
    QCheckBox *trackingBox() const { return m_tracking; }
    QCheckBox *schemeBox() const { return m_scheme; }
    QRadioButton *folderButton() const { return m_folder; }
    QRadioButton *collectionButton() const { return m_collection; }

private:
    QCheckBox *m_fragment;
    QCheckBox *m_tracking;
    QCheckBox *m_scheme;
    QRadioButton *m_folder;
    QRadioButton *m_collection;
};
