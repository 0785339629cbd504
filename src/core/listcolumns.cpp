#include "core/listcolumns.h"

QString ListDefinition::heading(int c) const {
    return QString::fromUtf16(columns[size_t(c)].heading);
}

Qt::Alignment ListDefinition::alignment(int c) const {
    switch (columns[size_t(c)].kind) {
    case ColumnKind::Text:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case ColumnKind::Mark:
        return Qt::AlignCenter;
    default:
        return Qt::AlignRight | Qt::AlignVCenter;
    }
}

bool ListDefinition::exported(int c) const {
    return c >= count() || columns[size_t(c)].exported;
}
