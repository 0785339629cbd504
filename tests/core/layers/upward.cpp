// Read by the layer check's test, never compiled: a core source that reaches
// up to settlement and into core's own screens, beside one include it may use.
#include "core/money.h"
#include "money.h"
#include "settlement/settlementrun.h"
#include "screens/messagebox.h"
