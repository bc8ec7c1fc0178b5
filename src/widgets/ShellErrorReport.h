#pragma once

#include <QString>

// The warning for a shell open that failed. code is what platform::shellOpen returned (ShellExecute-style:
// more than 32 means success), target the string that was opened.
//
// Some messages name a part of the target: the file part is everything after the last separator, the path
// part everything up to and including it. Backslash and colon always separate; a slash separates too unless
// the target is a URL (it contains "://"), so "http://host/a.html" has the file part "//host/a.html" and the
// path part "http:", while "/home/a/b.txt" has "b.txt" and "/home/a/".

// The text of the warning for code, or an empty string when the code has no message (success included).
QString ShellErrorMessage(int code, const QString &target);

// Shows ShellErrorMessage(code, target) in a "WARNING" box (MessageBoxes) with a single OK button and no owner
// window; does nothing when the code has no message.
void ReportShellError(int code, const QString &target);
