// The model state that the program owns for the whole run, and its start-up.
#pragma once

#include "database.h"
#include "errors.h"
#include "solve.h"
#include "tableau.h"
#include "variables.h"

namespace kv {

extern TClosure Closure;         // the current closure
extern Variable_Real ShockVec;   // shocks in, results out
extern TSolutionStore Solutions; // the stored solutions

// Start-up: BaseData set to the defaults and derived, NewData a copy of it,
// the default closure, ShockVec zero, the store empty, Tableau built.
void InitModel();

} // namespace kv
