#pragma once

#include <QIcon>

// The program's pictures. Each comes from the desktop's icon theme when the theme has it, and from our own
// artwork compiled into the program otherwise; the application icon is always ours.
namespace Icons {

QIcon folder();
QIcon link();
QIcon home();

// Toolbar
QIcon newFolder();
QIcon newUrl();
QIcon up();
QIcon deleteItems();
QIcon search();
QIcon folders();
QIcon views();
QIcon help();

// The program's own icon, for its windows and the notification area.
QIcon application();

} // namespace Icons
