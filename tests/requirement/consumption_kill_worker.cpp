// One user generating consumption documents until it is killed: builds the requirement of
// receipt 1, generates documents from it, and every tenth document closes the sheet and builds
// it again, so that a kill can land in the build as well as in a generation. Every third
// document is reversed as soon as it is written, so that a kill can land in a reversal too.
//
//   consumption_kill_worker <company directory> <private directory> <registry directory>
#include "data/qdm_data_module.h"
#include "platform/db/session.h"
#include "platform/store/registry_store.h"
#include "requirement/consumption_document.h"
#include "requirement/consumption_reversal.h"
#include "requirement/requirement_build.h"
#include "settings/production_settings.h"

#include <QDate>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    store::setRegistryRoot(QString::fromLocal8Bit(argv[3]));
    IndGest = 'G';
    IndCod = 'M';
    IndSemi = 'S';
    db::Session session;
    session.addAlias(QStringLiteral("KRV_PRIV"), QString::fromLocal8Bit(argv[2]));
    TQDMDataModule dm(&session);
    dm.GhostDB.params() = {QStringLiteral("PATH=") + QString::fromLocal8Bit(argv[1])};
    try {
        for (;;) {
            requirement::buildRequirement(dm, 1);
            for (int i = 0; i < 10; ++i) {
                const double counter =
                    requirement::generateConsumptionDocument(dm, QDate(2024, 4, 2)).counter;
                if (i % 3 == 2)
                    requirement::reverseConsumption(dm.GhostDB, counter, QDate(2024, 4, 3));
            }
            requirement::closeRequirement(dm);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
