#include "core/session.h"

QString gEmpCode;
QString gPassword;
int gEditMode = 0;
QString gSelKey;
qint64 gPriceSerial = 0;
QString gSeisanTimeText;
QString gSelSeisanTime;
