#pragma once
// The hydraulic calculations of the indoor fire hydrant calculator: state, nozzle
// relations, hose table and friction loss, and the calculation run. No window code.

#include "calc/calc_error.h"
#include "calc/calc_state.h"
#include "calc/entries.h"
#include "calc/hose_table.h"
#include "calc/nozzle.h"
#include "calc/number_text.h"
#include "calc/run.h"
