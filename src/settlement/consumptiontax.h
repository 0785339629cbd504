#pragma once

#include "core/money.h"

#include <QDate>
#include <QList>
#include <QMap>

// Consumption tax follows the law by the day the goods were received (a
// slip's 納入日): the rate of the latest change on or before that day.
struct TaxRate {
    QDate from;
    int percent = 0;
};

enum class TaxRounding {
    PerSlip,      // each slip's tax rounded, then summed
    PerStatement, // rounded once per home-worker and rate, on the sum of amounts
};

struct TaxRules {
    QList<TaxRate> rates; // ascending by `from`
    TaxRounding rounding = TaxRounding::PerSlip;

    // 0 before the first rate (and for an invalid day).
    int percentOn(const QDate& delivered) const;
};

// 3 % from 1989-04-01, 5 % from 1997-04-01, 8 % from 2014-04-01, 10 % from
// 2019-10-01, rounded per slip.
TaxRules legalTaxRules();

// The rules with [Tax] of TVL.INI applied: Rates=YYYY-MM-DD:percent,...
// (ascending) replaces the legal table from its first day on;
// Rounding=statement rounds per home-worker and rate. Throws AppError naming
// the key for a malformed value.
TaxRules readTaxRules();

// The tax of one home-worker's slips in one run.
class WorkerTax {
  public:
    explicit WorkerTax(const TaxRules& rules) : m_rules(&rules) {}
    // Adds a slip and returns the tax it carries by itself (per slip: its
    // rounded tax; per statement: 0, the tax comes with total()).
    Yen add(const QDate& delivered, UnitPrice price, qint64 quantity);
    Yen total() const;

  private:
    const TaxRules* m_rules;
    Yen m_perSlip = 0;
    QMap<int, Yen> m_amountByPercent; // per statement: the amounts of each rate
};
