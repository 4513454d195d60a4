#pragma once
// The descent of a requirement through semi-finished products: a material whose code begins
// with IndSemi and that has a recipe of its own is replaced by the materials of that recipe,
// level after level, down to materials that are not semi-finished or have no recipe. Widget-free;
// the requirement build calls it when the production settings turn it on (SemiPrinReteta).
#include "platform/base/errors.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace db {
class Database;
}

namespace requirement {

// The receipt product's recipe is the first level; each semi-finished product descended through
// adds one. Deeper recipes are refused.
inline constexpr int kMaxRecipeLevels = 16;

// The recipes cannot be descended: they form a cycle, or go deeper than kMaxRecipeLevels. The
// message names the chain of products; nothing was built.
class RecipeStructureError : public base::Error {
public:
    using base::Error::Error;
};

// A quantity of one material, as the requirement query yields it.
struct MaterialNeed {
    QString group;
    QString code;
    double quantity = 0;
};

struct Descent {
    // The needs after the descent, not yet added up: a material reached by several paths occurs
    // once per level it is reached at (the requirement's aggregation adds them into one line).
    QList<MaterialNeed> needs;
    // Whether any need was replaced by its recipe's materials.
    bool descended = false;
    // Semi-finished products that have a recipe but no usable batch quantity (CantReteta zero,
    // empty, or no catalog record under their group): kept as lines. "<group> <code>" each, once.
    QStringList withoutBatchQuantity;
};

// Descends the needs through the recipes of the company database `company`: a need for a
// semi-finished product with a recipe and a batch quantity becomes, for every line of that
// recipe with a quantity, a need of quantity × line quantity ÷ batch quantity. Materials met by
// several paths at one level are added up before they descend further, so shared semi-finished
// products cost one pass per level. Raises RecipeStructureError (the cycle or the deepest chain
// named) before anything is descended, and base::DatabaseError on a database failure.
Descent descendSemiFinished(db::Database& company, const QList<MaterialNeed>& needs);

} // namespace requirement
