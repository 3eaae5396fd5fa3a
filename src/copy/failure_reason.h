// The reasons of failed transfers for the copy run's log lines (sources/failure_reason.h).
#pragma once

#include "sources/failure_reason.h"

namespace copy {

using sources::failureReason;
using sources::withLastFailureReason;

} // namespace copy
