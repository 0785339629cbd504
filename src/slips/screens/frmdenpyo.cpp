#include "slips/screens/frmdenpyo.h"

#include "core/ini.h"
#include "core/screens/printoutput.h"

#include <QPainter>

namespace {

const QString kFont = QStringLiteral("ＭＳ Ｐ明朝");
constexpr int kFrameWidth = 5460;
constexpr int kFrameHeight = 7890;
constexpr int kFrameLeft[2] = {0, 5760};
constexpr int kFrameTop = -80;
constexpr double kRule = 15; // one screen pixel, the width of every printed line
// A frame draws its top line through the middle of its (empty) caption line,
// half a 9-point line below its top edge; that is why the frames stand 80
// twips above the page.
constexpr double kFrameCaptionHalf = 90;
constexpr double kTextInset = 30;
const QRect kBarcodeBox(600, 6540, 4005, 840);

constexpr int kAbsent = -2; // no such control in this copy
constexpr int kSingle = -1; // a control of its own, not an array element

enum Align { L = Qt::AlignLeft, C = Qt::AlignHCenter, R = Qt::AlignRight };

struct Design {
    const char* name;
    int index[2];
    int left, top, width, height;
    double points;
    bool bold, ruled;
    Align align;
    bool wraps;
    const char* caption;
    // Where the right copy differs.
    int left1 = -1, top1 = -1;
    const char* caption1 = nullptr;
    bool handbookOnly = false; // hidden unless the slip is printed as the handbook
};

// clang-format off
const Design kDesign[] = {
    {"Label2",      {0, 1}, 1200,  240, 3840,  315, 15.75, true,  false, L, false, "内職製品依頼伝票(内職控)", 1320, -1, "内職製品依頼伝票(会社行)"},
    {"Label5",      {0, 1},  105,  720,  510,  420,  9,    false, false, C, true,  "伝票番号"},
    {"lblDet0",     {0, 1},  720,  720, 1755,  360, 14.25, false, true,  C, false, ""},
    {"Label3",      {0, 1}, 2760,  780,  360,  180,  9,    false, false, C, false, "依頼"},
    {"lblDay0",     {0, 1}, 3240,  720, 1755,  360, 14.25, false, true,  C, false, ""},
    {"Label4",      {0, 1},  120, 1140,  540,  360,  9,    false, false, C, true,  "内職者氏名"},
    {"lblPerson",   {0, 1},  720, 1140, 4635,  420, 14.25, false, true,  L, false, ""},
    {"Label6",      {0, 1},  120, 1620,  480,  420,  9,    false, false, C, true,  "製品図番"},
    {"lblPno",      {0, 1},  720, 1620, 4635,  420, 14.25, false, true,  L, false, ""},
    {"Label9",      {0, 1},  120, 2100,  495,  420,  9,    false, false, C, true,  "作業コード"},
    {"lblWno",      {0, 1},  720, 2100, 4635,  420, 14.25, false, true,  L, false, ""},
    {"Label7",      {0, 1},  120, 2580,  480,  360,  9,    false, false, C, true,  "作業区分"},
    {"lblDet1",     {0, 1},  720, 2580, 4635,  420, 14.25, false, true,  L, false, ""},
    {"Label8",      {0, 1},  120, 3060,  480,  420,  9,    false, false, C, true,  "払出数量"},
    {"lblMon0",     {0, 1},  720, 3060, 1755,  360, 14.25, false, true,  R, false, ""},
    {"Label10",     {0, 1}, 2760, 3120,  360,  180,  9,    false, false, C, false, "単価"},
    {"lblMon1",     {0, 1}, 3240, 3060, 1755,  360, 14.25, false, true,  R, false, ""},
    {"Label11",     {0, 1}, 2760, 3525,  360,  180,  9,    false, false, C, false, "合計", -1, 3540},
    {"lblMon2",     {0, 1}, 3240, 3480, 1755,  360, 14.25, false, true,  R, false, ""},
    {"Label13",     {0, 1},  120, 3900,  435,  420,  9,    false, false, C, true,  "管理ロット"},
    {"lblDet2",     {0, 1},  720, 3900, 4635,  420, 14.25, false, true,  L, false, ""},
    {"Label14",     {0, 1},  150, 4500,  360,  180,  9,    false, false, C, false, "備考", -1, 4560},
    {"lblDet3",     {0, 1},  720, 4365, 4635, 1155, 14.25, false, true,  L, true,  "", -1, 4380},
    {"Label12",     {0, 1},  120, 5640,  480,  420,  9,    false, false, C, true,  "納入数量"},
    {"lblMon3",     {0, 1},  720, 5580, 1755,  420, 14.25, false, true,  R, false, ""},
    {"Label1",      {0, 1}, 2700, 5640,  540,  180,  9,    false, false, C, false, "納入日", 2670},
    {"lblDay1",     {0, 1}, 3240, 5580, 1755,  420, 14.25, false, true,  C, false, ""},
    {"Label12",     {4, 6},  120, 6180,  600,  360,  9,    false, false, C, true,  "不良数"},
    {"lblFuryou",   {0, 1},  720, 6060, 1755,  420, 14.25, false, true,  R, false, ""},
    {"Label12",     {5, 7}, 2760, 6060,  360,  360,  9,    false, false, C, true,  "取扱者名", -1, 6120},
    {"lblSyain",    {0, 1}, 3240, 6060, 1755,  420, 14.25, false, true,  C, false, ""},
    {"LblUserName", {0, 1}, 2400, 7500, 2895,  315, 11.25, false, false, L, false, "○○○株式会社"},
    {"Label16",     {kSingle, kAbsent}, 120, 7620,  660, 165, 8.25, false, false, L, false, "内職者控"},
    {"Label17",     {kAbsent, kSingle}, 120, 7620, 1575, 165, 8.25, false, false, L, false, "納品書(内職者→経理)"},
    // The home-worker's copy as the handbook the Home Work Act asks for.
    {"Label18",     {kSingle, kAbsent}, 120, 3480,  480,  360,  9,    false, false, C, true,  "納期", -1, -1, nullptr, true},
    {"lblDue",      {kSingle, kAbsent}, 720, 3480, 1755,  360, 14.25, false, true,  C, false, "", -1, -1, nullptr, true},
    {"lblTerms",    {kSingle, kAbsent}, 720,  570, 4635,  150,  7,    false, false, L, false, "", -1, -1, nullptr, true},
};
// clang-format on

QString objectName(const char* name, int index) {
    const QString base = QString::fromUtf8(name);
    return index == kSingle ? base : QStringLiteral("%1_%2").arg(base).arg(index);
}

} // namespace

frmDenpyo::frmDenpyo() {
    for (const Design& d : kDesign)
        for (int frame = 0; frame < 2; ++frame) {
            if (d.index[frame] == kAbsent)
                continue;
            const bool right = frame == 1;
            Control c;
            c.name = objectName(d.name, d.index[frame]);
            c.frame = frame;
            c.rect = QRect(right && d.left1 >= 0 ? d.left1 : d.left,
                           right && d.top1 >= 0 ? d.top1 : d.top, d.width, d.height);
            c.points = d.points;
            c.bold = d.bold;
            c.ruled = d.ruled;
            c.alignment = d.align;
            c.wraps = d.wraps;
            c.caption = QString::fromUtf8(right && d.caption1 ? d.caption1 : d.caption);
            c.visible = !d.handbookOnly;
            m_byName.insert(c.name, m_controls.size());
            m_controls.append(c);
        }
    for (int frame = 0; frame < 2; ++frame)
        m_frames[frame] = QRect(kFrameLeft[frame], kFrameTop, kFrameWidth, kFrameHeight);
    const QString company = IniRead(QStringLiteral("User"), QStringLiteral("Name"));
    setCaption(QStringLiteral("LblUserName_0"), company);
    setCaption(QStringLiteral("LblUserName_1"), company);
}

QStringList frmDenpyo::controlNames() const {
    QStringList names;
    for (const Control& c : m_controls)
        names << c.name;
    return names;
}

QString frmDenpyo::caption(const QString& control) const {
    const qsizetype i = m_byName.value(control, -1);
    return i < 0 ? QString() : m_controls[i].caption;
}

void frmDenpyo::setCaption(const QString& control, const QString& text) {
    const qsizetype i = m_byName.value(control, -1);
    Q_ASSERT_X(i >= 0, "frmDenpyo::setCaption", qPrintable(control));
    if (i >= 0)
        m_controls[i].caption = text;
}

void frmDenpyo::setVisible(const QString& control, bool visible) {
    const qsizetype i = m_byName.value(control, -1);
    Q_ASSERT_X(i >= 0, "frmDenpyo::setVisible", qPrintable(control));
    if (i >= 0)
        m_controls[i].visible = visible;
}

QString frmDenpyo::text() const {
    QString out;
    for (int frame = 0; frame < 2; ++frame) {
        out += QStringLiteral("=== FrameDen(%1) ===\n").arg(frame);
        for (const Control& c : m_controls)
            if (c.frame == frame && c.visible && !c.caption.isEmpty())
                out += c.name + QStringLiteral(": ") + c.caption + QLatin1Char('\n');
        if (m_barcodes[frame])
            out += QStringLiteral("ctrBarcode: ") + m_barcodes[frame]->value + QLatin1Char('\n');
    }
    return out;
}

void frmDenpyo::setBarcode(int index, const QString& value) {
    const std::optional<Barcode>& other = m_barcodes[1 - index];
    if (other && other->value == value)
        m_barcodes[index] = other; // both copies carry the same number: encode it once
    else
        m_barcodes[index] = Barcode{value, encodeCode39(value)};
}

QString frmDenpyo::barcode(int index) const {
    return m_barcodes[index] ? m_barcodes[index]->value : QString();
}

void frmDenpyo::moveFrames(int top, int left0, int left1) {
    m_frames[0].translate(left0, top);
    m_frames[1].translate(left1, top);
}

QRect frmDenpyo::frameRect(int index) const {
    return m_frames[index];
}

void frmDenpyo::paint(QPainter& painter) const {
    painter.save();
    // Only the form's client area is printed; what lies outside it is cut.
    painter.setClipRect(QRect(0, 0, ClientWidth, ClientHeight));
    for (int frame = 0; frame < 2; ++frame)
        paintFrame(painter, frame);
    painter.restore();
}

void frmDenpyo::paintFrame(QPainter& painter, int index) const {
    const QRectF frame = m_frames[index];
    QPen rule(Qt::black, kRule);
    rule.setJoinStyle(Qt::MiterJoin);
    const double half = kRule / 2;

    painter.save();
    painter.setPen(rule);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(half, kFrameCaptionHalf + half, -half, -half));
    painter.setClipRect(frame, Qt::IntersectClip);
    painter.translate(frame.topLeft());

    for (const Control& c : m_controls) {
        if (c.frame != index || !c.visible)
            continue;
        QRectF box = c.rect;
        if (c.ruled) {
            painter.setPen(rule);
            painter.drawRect(box.adjusted(half, half, -half, -half));
            box.adjust(kRule + (c.alignment == Qt::AlignHCenter ? 0 : kTextInset), kRule,
                       -kRule - (c.alignment == Qt::AlignHCenter ? 0 : kTextInset), -kRule);
        }
        if (c.caption.isEmpty())
            continue;
        painter.setPen(Qt::black);
        painter.setFont(printFont(kFont, c.points, c.bold));
        int flags = c.alignment | Qt::AlignTop;
        if (c.wraps)
            flags |= Qt::TextWordWrap;
        else if (!c.ruled)
            flags |= Qt::TextDontClip; // a caption a hair wider than its label still shows whole
        painter.drawText(box, flags, c.caption);
    }
    if (m_barcodes[index])
        paintBarcode(painter, kBarcodeBox, m_barcodes[index]->symbol);
    painter.restore();
}
