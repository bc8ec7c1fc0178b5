#pragma once

#include <functional>

// Asked now and then by long work (a read, a copy) whether to stop; true stops it, and it leaves nothing half
// done behind. Work on the background pool asks its promise: [&promise] { return promise.isCanceled(); }.
using CancelCheck = std::function<bool()>;
