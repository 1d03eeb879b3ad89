// The system's event log, which many fleets collect centrally: on Windows
// the Application log, with the program's name as the entry's source and
// the program's message table to show it; the stand-in has none.
#pragma once

#include <vector>

#include "platform/Message.h"

enum class TEventType { kInformation, kWarning, kError };

enum class TEventWritten {
  kWritten,
  kNoEventLog,  // the system has none: nothing to tell
  kRefused,     // the event log would not take it
};

// Adds one entry: the program's message `id`, with `texts` as its inserts
// (%1, %2, ...). On kRefused, `error` says why.
TEventWritten WriteEvent(TEventType type, unsigned long id, const std::vector<TMessage>& texts, TMessage& error);
