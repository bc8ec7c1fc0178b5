#include "LinkCheckResult.h"

#include <array>

namespace {
const std::array<const char *, LinkCheckResult::OutcomeCount> Keys
    = {"ok", "moved", "redirected", "broken", "unreachable", "not-checked"};
} // namespace

QString LinkCheckResult::outcomeKey(Outcome outcome)
{
    return QString::fromLatin1(Keys.at(static_cast<size_t>(outcome)));
}

bool LinkCheckResult::outcomeFromKey(QStringView key, Outcome *outcome)
{
    for (size_t i = 0; i < Keys.size(); ++i) {
        if (key == QLatin1StringView(Keys[i])) {
            *outcome = static_cast<Outcome>(i);
            return true;
        }
    }
    return false;
}

QString LinkCheckResult::verdict() const
{
    return isRateLimited() ? QStringLiteral("unreachable (rate limited)") : outcomeKey(outcome);
}
