#pragma once

#include <QtGlobal>

#include <functional>

// Called now and then while a file is read or written: how far the work has come out of how much
// there is (bytes for readers, items for writers). Returning false cancels the work; what was read
// so far stays in place, a file being written is not created.
using FormatProgress = std::function<bool(qint64 done, qint64 total)>;
