#include "mainwindow/DuplicatesDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

DuplicatesDialog::DuplicatesDialog(const QString &folderName, QWidget *parent)
    : QDialog(parent), m_fragment(new QCheckBox(tr("Ignore what follows \"#\" (the &place on the page)"), this)),
      m_tracking(new QCheckBox(tr("Ignore &tracking parameters (utm_..., fbclid, gclid, mc_eid, igshid)"), this)),
      m_scheme(new QCheckBox(tr("Treat \"http\" and \"https\", and \"www.\" or not, as the &same"), this)),
      m_folder(new QRadioButton(this)), m_collection(new QRadioButton(tr("The &whole collection"), this))
{
    setWindowTitle(tr("Find Duplicates"));
    auto *label = new QLabel(tr("Links are duplicates when their addresses lead to the same page. Case in the "
                                "scheme and host, default ports and the form of escapes never count."),
                             this);
    label->setWordWrap(true);
    auto *compare = new QGroupBox(tr("Compare addresses"), this);
    auto *compareLayout = new QVBoxLayout(compare);
    compareLayout->addWidget(m_fragment);
    compareLayout->addWidget(m_tracking);
    compareLayout->addWidget(m_scheme);
    auto *scope = new QGroupBox(tr("Look in"), this);
    auto *scopeLayout = new QVBoxLayout(scope);
    m_folder->setText(tr("The &folder '%1' and the folders below it").arg(folderName));
    m_folder->setChecked(true);
    scopeLayout->addWidget(m_folder);
    scopeLayout->addWidget(m_collection);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("&Find"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(compare);
    layout->addWidget(scope);
    layout->addWidget(buttons);
}

UrlKeyOptions DuplicatesDialog::options() const
{
    return {m_fragment->isChecked(), m_tracking->isChecked(), m_scheme->isChecked()};
}

void DuplicatesDialog::setOptions(UrlKeyOptions options)
{
    m_fragment->setChecked(options.ignoreFragment);
    m_tracking->setChecked(options.ignoreTracking);
    m_scheme->setChecked(options.ignoreSchemeAndWww);
}

bool DuplicatesDialog::belowFolder() const
{
    return m_folder->isChecked();
}
