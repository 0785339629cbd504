#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>
#include <functional>

// What a trial, a settlement or a cancellation works on: a period of
// delivery dates (both ends included) and an optional range of home-workers.
struct SettlementCriteria {
    QDate firstDay;
    QDate lastDay;
    // A home-worker code or a combo item text ("code　name"); only the code
    // counts, cut to 10 characters. Empty: no bound on that side.
    QString firstWorker;
    QString lastWorker;
    QString employeeCode; // 社員コード written with every change
    // A settlement pays slips without a price in force at 0 yen only when
    // the clerk agreed to it; otherwise it refuses them (unpricedSlips).
    bool allowUnpriced = false;
};

// The code a worker bound stands for ("" for no bound).
QString workerBound(const QString& text);

// Throws AppError with the settlement screen's texts when the period is
// missing or reversed or the worker range is reversed.
void checkCriteria(const SettlementCriteria& criteria);

// Called after every slip or settlement row: `done` of `total`. The screens
// keep their window painted from here.
using SettlementProgress = std::function<void(qint64 done, qint64 total)>;
