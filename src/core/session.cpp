#include "core/session.h"

QString gEmpCode;
QString gPassword;
QString gSeisanTimeText;
