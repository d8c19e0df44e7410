#pragma once

#include <functional>

class CWorkingDlg;

// Waits while `busy()` holds, looking every 100 ms at the working dialog's Cancel (which keeps the
// windows responsive) and calling `tick()`. On Cancel it calls `cancel()` once and waits at most
// `graceMs` more for the worker to see it. Returns whether the user cancelled.
bool WaitForWorker(CWorkingDlg& dialog, const std::function<bool()>& busy,
    const std::function<void()>& cancel, const std::function<void()>& tick, int graceMs);
