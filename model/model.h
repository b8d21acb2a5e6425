// The model core in one include: database, variables and closure, tableau,
// solution methods and the experiment that holds them.
#pragma once

#include "database.h"
#include "errors.h"
#include "experiment.h"
#include "solve.h"
#include "tableau.h"
#include "variables.h"
