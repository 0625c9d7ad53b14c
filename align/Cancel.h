#pragma once

#include <atomic>

#include "Alignment.h"

// Throws Cancelled once the flag is set; the long loops call it at least every few milliseconds.
inline void throwIfCancelled(const std::atomic<bool>& cancelled) {
    if (cancelled.load(std::memory_order_relaxed))
        throw AlignError(AlignError::Kind::Cancelled, "The alignment was cancelled.");
}
