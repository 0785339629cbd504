#pragma once

#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

// A Code 39 symbol without check character: its bars measured in narrow
// elements (X) from the left edge of the quiet zone, the whole width with
// both quiet zones, and the human-readable line.
struct Code39Symbol {
    struct Bar {
        double x, width;
    };
    QList<Bar> bars;
    double width = 0;
    QString text;
};

// Throws AppError with the encoder's reason for data Code 39 cannot carry.
Code39Symbol encodeCode39(const QString& data);

// Bars across the whole box, the readable line centred beneath them;
// painting in twips.
void paintBarcode(QPainter& painter, const QRectF& box, const Code39Symbol& symbol);
