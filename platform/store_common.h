// What every files-store backend shares: the rule for names and the making of results.
#pragma once
#include "platform/store.h"

// True for a name the store accepts (see STORE_NAME_MAX).
bool store_name_valid(const char* name);

StoreResult store_ok();

// A result with a printf-style message, cut to fit.
[[gnu::format(printf, 2, 3)]] StoreResult store_result(StoreStatus status, const char* format, ...);

// The refusal of a name that store_name_valid rejects.
StoreResult store_refused_name(const char* name);
