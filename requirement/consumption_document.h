#pragma once
// Turns the open requirement table into a consumption document of the host: header, lines,
// stock lowered or deleted and the output-document counter advanced, as one transaction.
// Widget-free: the requirement sheet's button and the command line call the same code.
#include <QDate>
#include <QList>
#include <QString>

class TQDMDataModule;

namespace requirement {

// A quantity of a material that the stock could not cover while it was being issued.
struct NotIssued {
    QString group;
    QString code;
    double quantity = 0;
};

struct GenerationResult {
    double counter = 0;          // the new document's Contor
    int lineCount = 0;           // lines written to Item_out
    QList<NotIssued> notIssued;  // every material that could not be issued in full
};

// Generates the consumption document dated `date` from the requirement table that
// buildRequirement left open (DocInTable positioned on the receipt header). All or nothing:
// on any failure nothing is written, the counter is unchanged and db::DatabaseError is raised.
GenerationResult generateConsumptionDocument(TQDMDataModule& dm, const QDate& date);

} // namespace requirement
