#include "core/session.h"

QString gEmpCode;
QString gSeisanTimeText;
