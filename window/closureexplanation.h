// What a closure check says, as the student reads it on the Closure page and
// in the messages of the Solve page: the model's sentences about what the
// closure leaves undetermined, and the single exchanges that cure it.
#pragma once

#include "closurecheck.h"

#include <QString>
#include <optional>

// The explanation: check.Explanation, then after an empty line the exchanges
// of check.FixingExchanges under a heading, one line each and grouped (the
// variables that may leave the endogenous list with the same partners share
// a line). The exchange that undoes lastExchange (the student's last
// exchange, as made) comes first, on a line of its own. Lines are separated
// by "\r\n". Empty for a sound closure.
QString ClosureExplanationText(const kv::TClosureCheck& check,
                               const std::optional<kv::TExchange>& lastExchange);
