// getdata.cpp: the data-entry language (statements, identifiers, the getdata protocol).
#include "gen/ground.h"

IdState _Id = {" = %-16.9g", {0, 0}, 1.0, 0, nullptr, 0.0, nullptr, nullptr, nullptr,
               nullptr, 0, 0, 0, 1, 0, 0, 0};
const char* _putformat = "%11s=%-13.6g ";
