#pragma once

// The windows' state is declared beside the data sets, whose hooks read and
// write it; the engines keep including it from here.
#include "core/browsers/WizardState.h"
