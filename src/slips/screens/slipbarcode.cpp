#include "slips/screens/slipbarcode.h"

#include "core/apperror.h"
#include "core/screens/printoutput.h"

#include <QPainter>
#include <cmath>
#include <memory>
#include <zint.h>

namespace {

constexpr double kTextPoints = 8;
constexpr double kTextGap = 30; // twips between bars and text
constexpr double kWideRatio = 3;

struct SymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};

} // namespace

Code39Symbol encodeCode39(const QString& data) {
    std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        throw AppError(QStringLiteral("バーコードを作成できません。"));
    symbol->symbology = BARCODE_CODE39;
    symbol->option_2 = 0; // no check character: the scanner must return the text alone
    // Quiet zones as the symbology asks for (ten narrow bars each side).
    symbol->output_options |= BARCODE_QUIET_ZONES;
    const QByteArray bytes = data.toUtf8();
    const int encoded = ZBarcode_Encode(
        symbol.get(), reinterpret_cast<const unsigned char*>(bytes.constData()), int(bytes.size()));
    if (encoded >= ZINT_ERROR || ZBarcode_Buffer_Vector(symbol.get(), 0) >= ZINT_ERROR)
        throw AppError(QStringLiteral("バーコードを作成できません: %1（%2）")
                           .arg(data, QString::fromUtf8(symbol->errtxt)));

    // zint draws wide elements twice as wide as narrow ones. At the X of a
    // slip (well under 0.5 mm) scanners want a ratio of at least 2.2, so
    // wide bars and spaces are drawn three narrow ones wide instead.
    const zint_vector* vector = symbol->vector;
    double narrow = vector->width;
    for (const zint_vector_rect* r = vector->rectangles; r; r = r->next)
        narrow = std::min<double>(narrow, r->width);
    const auto widened = [](double elements) {
        return std::lround(elements) == 2 ? kWideRatio : elements;
    };
    Code39Symbol out;
    out.text = QString::fromUtf8(reinterpret_cast<const char*>(symbol->text));
    double x = 0;       // in the symbol as printed
    double zintEnd = 0; // in zint's symbol
    for (const zint_vector_rect* r = vector->rectangles; r; r = r->next) {
        x += out.bars.isEmpty() ? r->x / narrow : widened((r->x - zintEnd) / narrow);
        const double width = widened(r->width / narrow);
        out.bars.append({x, width});
        x += width;
        zintEnd = r->x + r->width;
    }
    out.width = x + (vector->width - zintEnd) / narrow; // the quiet zone on the right
    return out;
}

void paintBarcode(QPainter& painter, const QRectF& box, const Code39Symbol& symbol) {
    // The slip's own face: every font more is embedded again in every file.
    const QFont font = printFont(QStringLiteral("ＭＳ Ｐ明朝"), kTextPoints);
    const double textHeight = kTextPoints * kTwipsPerPoint;
    const double barHeight = box.height() - textHeight - kTextGap;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const double scale = box.width() / symbol.width;
    for (const Code39Symbol::Bar& bar : symbol.bars)
        painter.drawRect(
            QRectF(box.left() + bar.x * scale, box.top(), bar.width * scale, barHeight));
    painter.setPen(Qt::black);
    painter.setFont(font);
    painter.drawText(QRectF(box.left(), box.bottom() - textHeight, box.width(), textHeight),
                     Qt::AlignHCenter | Qt::AlignBottom, symbol.text);
    painter.restore();
}
