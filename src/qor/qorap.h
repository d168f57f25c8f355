// qorap.h: the model of the application: the equation of state in use.
#pragma once
#include "qor/cubic/cubic.h"
