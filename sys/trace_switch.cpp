// The process-wide trace switch: off when the process starts.
#include "sys/trace_log.h"

namespace {
int g_traceEnabled = 0;
}

void SetTraceEnabled(int enabled) { g_traceEnabled = enabled; }

int IsTraceEnabled() { return g_traceEnabled; }
