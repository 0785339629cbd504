#pragma once

#include <QList>
#include <QString>

// The fixed master rows of the demo database: people, places and products
// that look like those of a small electrical-parts workshop.
namespace DemoNames {

struct Employee {
    QString code;
    QString name;
    QString password; // "" is stored as Null
    QString remark;
    bool deleted;
};

struct HomeWorker {
    QString name;
    QString postalCode;
    QString address;
    QString phone;
    QString mobile;
    QString fax;
    QString mail;
    QString rank;
    QString birthDate; // "YYYY-MM-DD" or ""
};

struct Drawing {
    QString number; // its first three characters are its class
    QString name;
};

struct WorkCode {
    QString code;
    QString item;
};

const QList<Employee>& employees();
const QList<HomeWorker>& homeWorkers();
const QList<Drawing>& drawings();
const QList<WorkCode>& workCodes();
const QStringList& workKinds();   // 作業区分
const QStringList& slipRemarks(); // 備考 of some slips

} // namespace DemoNames
