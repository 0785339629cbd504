#pragma once

#include "slips/screens/slipbarcode.h"

#include <QHash>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

class QPainter;

// The printed slip: an A5 landscape page with two copies side by side, the
// home-worker's on the left, the company's on the right. Each copy sits in
// its frame `FrameDen`(0) / (1); its controls are named like a form's,
// index 0 on the left and 1 on the right ("lblDet0_1"). Everything is in
// twips from the top-left corner of the page's printable area.
class frmDenpyo {
  public:
    static constexpr int ClientWidth = 11235;
    static constexpr int ClientHeight = 7935;

    frmDenpyo(); // design captions; LblUserName from [User] Name of TVL.INI

    QStringList controlNames() const;
    QString caption(const QString& control) const;
    void setCaption(const QString& control, const QString& text);
    // The handbook's boxes (Label18, lblDue, lblTerms) start hidden.
    void setVisible(const QString& control, bool visible);
    // What the page shows, copy by copy: "name: caption" per visible,
    // non-empty control, then the barcode's value.
    QString text() const;
    // Shows the barcode of the copy; throws AppError for text Code 39 cannot carry.
    void setBarcode(int index, const QString& value);
    QString barcode(int index) const;
    // Moves both frames down by `top`, the left one right by `left0`, the
    // right one right by `left1`.
    void moveFrames(int top, int left0, int left1);
    QRect frameRect(int index) const;

    void paint(QPainter& painter) const; // a painter in twips (scaleToTwips)

  private:
    struct Control {
        QString name;
        int frame = 0;
        QRect rect; // in the frame
        double points = 9;
        bool bold = false;
        bool ruled = false;
        int alignment = 0; // Qt::Alignment, horizontal
        bool wraps = false;
        QString caption;
        bool visible = true;
    };

    void paintFrame(QPainter& painter, int index) const;

    QList<Control> m_controls;
    QHash<QString, qsizetype> m_byName;
    QRect m_frames[2];
    struct Barcode {
        QString value;
        Code39Symbol symbol;
    };
    std::optional<Barcode> m_barcodes[2];
};
