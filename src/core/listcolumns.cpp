#include "core/listcolumns.h"

QString ListDefinition::heading(int c) const {
    return QString::fromUtf16(columns[size_t(c)].heading);
}

bool ListDefinition::exported(int c) const {
    return c >= count() || columns[size_t(c)].exported;
}
