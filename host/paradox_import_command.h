#pragma once
// "Sistem > Import firmă din tabele Paradox…": a directory of a company's Paradox tables turned
// into a new company, all or nothing. The person chooses the tables' directory and the new
// company's; a progress dialog follows the tables and can stop the import (nothing is written
// then); the summary per table is shown at the end. When values are refused nothing is
// written, and the person may then import the rest, with the refusals in a report beside the
// company. A company written can be opened at once.
#include "platform/db/field_type.h"

#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace paradox {
struct ImportRequest;
struct ImportOutcome;
} // namespace paradox

namespace host {

class ParadoxImportCommand {
public:
    ParadoxImportCommand(QWidget* parent, std::function<QList<db::TableDef>()> addOnTables,
                         std::function<void(const QString&)> openCompany);

    // The directory dialogs; tests answer them here. Empty answers cancel.
    std::function<QString()> chooseSource;
    std::function<QString(const QString& sourceDirectory)> chooseCompany;
    // How long an import runs before its progress dialog shows.
    int progressDelayMs = 500;

    void run();

private:
    // Runs one import under a progress dialog; false when it was stopped.
    bool importWithProgress(const paradox::ImportRequest& request, paradox::ImportOutcome& outcome);

    QWidget* m_parent;
    std::function<QList<db::TableDef>()> m_addOnTables;
    std::function<void(const QString&)> m_openCompany;
};

} // namespace host
