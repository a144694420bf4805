// The table printed after a run on several ports: for each port the result (выполнен / ошибка),
// the speed at which the modem answered, the time the run took, and the reason of a failure.
#pragma once

#include <string>
#include <vector>

#include "app/multi_port_run.h"

namespace kelvo {

// The lines of the table (UTF-8, columns padded with spaces), the last one a count of the ports
// that succeeded.
std::vector<std::string> SummaryTable(const TMultiPortRun& run);

// The number of characters of a UTF-8 text, as a terminal lays them out.
size_t DisplayWidth(const std::string& utf8);

}  // namespace kelvo
