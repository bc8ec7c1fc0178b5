#pragma once

#include "linkcheck/LinkCheckResult.h"

#include <QIcon>
#include <QString>

// How a link check's findings look in the window.
namespace LinkCheckMark {

// The link icon with a red cross over its corner.
QIcon brokenIcon();
// "Broken", "Moved", ... as the window names the outcomes.
QString outcomeText(LinkCheckResult::Outcome outcome);
// The outcome as the window names it, with what it is about when that matters: "Unreachable (rate limited)".
QString verdictText(const LinkCheckResult &result);

} // namespace LinkCheckMark
