// What a closure check says, as the student reads it on the Closure page and
// in the messages of the Solve page: the model's sentences about what the
// closure leaves undetermined, and the single exchanges that cure it.
#pragma once

#include "closurecheck.h"

#include <QString>
#include <optional>

// The exchanges of check.FixingExchanges, one line each after a heading, and
// grouped: the variables that may leave the endogenous list with the same
// partners share one line. The exchange that undoes lastExchange (the
// student's last exchange, as made) comes first, on a line of its own. Empty
// when there are none. Lines end in "\r\n" between them.
QString FixingExchangesText(const kv::TClosureCheck& check,
                            const std::optional<kv::TExchange>& lastExchange);

// The whole explanation: check.Explanation, then FixingExchangesText after an
// empty line. Empty for a sound closure.
QString ClosureExplanationText(const kv::TClosureCheck& check,
                               const std::optional<kv::TExchange>& lastExchange);

// Why the results of an unreliable closure are unreliable: check.Explanation
// without its opening "This closure can be solved, but its results are
// unreliable: ", to follow "The results are unreliable: ".
QString UnreliableReason(const kv::TClosureCheck& check);
