#pragma once

#include "services/failure.h"

// A statement the store refused because another writer held what it needed: chosen as a deadlock
// victim (1205) or out of time waiting for a lock (1222). The store has undone the unit of work; the
// same work may be tried again.
class ConflittoStore : public Failure
{
public:
    using Failure::Failure;
};
