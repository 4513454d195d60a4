#include "requirement/semi_finished.h"

#include "platform/db/database.h"
#include "platform/db/query.h"
#include "platform/db/stored_value.h"
#include "settings/production_settings.h"

#include <QHash>
#include <QSet>
#include <QVariant>

namespace requirement {

namespace {

QString keyOf(const QString& group, const QString& code) {
    return group + QLatin1Char('\n') + code;
}

QString codeOfKey(const QString& key) {
    return key.section(QLatin1Char('\n'), 1);
}

// The recipes and batch quantities of the semi-finished products met, each read once.
class RecipeBook {
public:
    struct Line {
        QString group;
        QString code;
        QVariant quantity; // null when the recipe line has none
    };

    explicit RecipeBook(db::Database& company) : m_company(company) {}

    // Whether a need for this material is replaced by its recipe's materials: a semi-finished
    // code with a recipe of its own and a batch quantity under its group. One with a recipe but
    // no batch quantity is noted in `withoutBatch` and kept.
    bool descends(const QString& group, const QString& code, QStringList* withoutBatch = nullptr) {
        if (!beginsWithSettingsChar(code, IndSemi) || recipe(code).isEmpty())
            return false;
        if (batch(group, code) != 0)
            return true;
        const QString named = group + QLatin1Char(' ') + code;
        if (withoutBatch && !withoutBatch->contains(named))
            *withoutBatch << named;
        return false;
    }

    const QList<Line>& recipe(const QString& code) {
        auto it = m_recipes.find(code);
        if (it != m_recipes.end())
            return *it;
        db::Query q(QStringLiteral("SemiFinishedRecipe"));
        prepare(q, QStringLiteral("SELECT Cod_Grupa, Cod_MatPrim, Cant_MatPrim FROM Reteta "
                                  "WHERE Cod = :Cod ORDER BY Cod_Grupa, Cod_MatPrim"));
        q.paramByName(QStringLiteral("Cod")).setValue(db::toStored(db::FieldType::Text, code));
        q.open();
        QList<Line> lines;
        for (; !q.eof(); q.next()) {
            db::Field* quantity = q.fieldByName(QStringLiteral("Cant_MatPrim"));
            lines << Line{q.fieldByName(QStringLiteral("Cod_Grupa"))->asString(),
                          q.fieldByName(QStringLiteral("Cod_MatPrim"))->asString(),
                          quantity->isNull() ? QVariant() : QVariant(quantity->asFloat())};
        }
        return *m_recipes.insert(code, lines);
    }

    // The product's batch quantity under its group; 0 when it has none.
    double batch(const QString& group, const QString& code) {
        const QString key = keyOf(group, code);
        auto it = m_batches.find(key);
        if (it != m_batches.end())
            return *it;
        db::Query q(QStringLiteral("SemiFinishedBatch"));
        prepare(q, QStringLiteral(
                       "SELECT CantReteta FROM Catalog WHERE Grupa = :Grupa AND Cod = :Cod"));
        q.paramByName(QStringLiteral("Grupa")).setValue(db::toStored(db::FieldType::Text, group));
        q.paramByName(QStringLiteral("Cod")).setValue(db::toStored(db::FieldType::Text, code));
        q.open();
        double value = 0;
        if (!q.eof()) {
            db::Field* f = q.fieldByName(QStringLiteral("CantReteta"));
            value = f->isNull() ? 0 : f->asFloat();
        }
        return *m_batches.insert(key, value);
    }

private:
    void prepare(db::Query& q, const QString& sql) {
        q.setSession(&m_company.session());
        q.setDatabaseName(m_company.databaseName());
        q.setSqlText(sql);
    }

    db::Database& m_company;
    QHash<QString, QList<Line>> m_recipes;
    QHash<QString, double> m_batches;
};

// Walks the recipes of the semi-finished products reached, before anything is descended: a
// cycle or a chain deeper than kMaxRecipeLevels is refused with the products named.
class StructureCheck {
public:
    explicit StructureCheck(RecipeBook& book) : m_book(book) {}

    // A need of the receipt product's recipe (the first level).
    void check(const QString& group, const QString& code) {
        if (!m_book.descends(group, code))
            return;
        QStringList chain;
        visit(keyOf(group, code), 2, chain);
    }

private:
    struct Node {
        bool done = false;
        int depth = 0;       // levels of recipes from this product's own down, counting it
        QString deepestNext; // the product below that gives that depth; empty at the bottom
    };

    // `level` is the level of this product's own recipe; chain the products above it.
    int visit(const QString& key, int level, QStringList& chain) {
        if (chain.contains(key)) {
            QStringList cycle = chain.mid(chain.indexOf(key));
            cycle << key;
            throw RecipeStructureError(
                QStringLiteral("Rețetele semifabricatelor se cuprind una pe alta: %1. Necesarul "
                               "nu a fost calculat.")
                    .arg(named(cycle)));
        }
        auto it = m_nodes.constFind(key);
        if (it != m_nodes.constEnd()) {
            if (level + it->depth - 1 > kMaxRecipeLevels) {
                QStringList deepest = chain;
                for (QString k = key; !k.isEmpty(); k = m_nodes.value(k).deepestNext)
                    deepest << k;
                tooDeep(deepest);
            }
            return it->depth;
        }
        chain << key;
        if (level > kMaxRecipeLevels)
            tooDeep(chain);
        Node node;
        node.depth = 1;
        for (const RecipeBook::Line& line : m_book.recipe(codeOfKey(key))) {
            if (line.quantity.isNull() || !m_book.descends(line.group, line.code))
                continue;
            const QString child = keyOf(line.group, line.code);
            const int below = visit(child, level + 1, chain);
            if (below + 1 > node.depth) {
                node.depth = below + 1;
                node.deepestNext = child;
            }
        }
        chain.removeLast();
        node.done = true;
        m_nodes.insert(key, node);
        return node.depth;
    }

    [[noreturn]] static void tooDeep(const QStringList& chain) {
        throw RecipeStructureError(
            QStringLiteral("Rețetele semifabricatelor au mai mult de %1 niveluri: %2. Necesarul nu "
                           "a fost calculat.")
                .arg(kMaxRecipeLevels)
                .arg(named(chain)));
    }

    static QString named(const QStringList& keys) {
        QStringList codes;
        for (const QString& k : keys)
            codes << codeOfKey(k);
        return codes.join(QStringLiteral(" -> "));
    }

    RecipeBook& m_book;
    QHash<QString, Node> m_nodes;
};

} // namespace

Descent descendSemiFinished(db::Database& company, const QList<MaterialNeed>& needs) {
    RecipeBook book(company);
    StructureCheck structure(book);
    for (const MaterialNeed& need : needs)
        structure.check(need.group, need.code);

    Descent result;
    QList<MaterialNeed> level = needs;
    // The structure check bounds the levels; the count guards the loop all the same.
    for (int depth = 1; !level.isEmpty() && depth <= kMaxRecipeLevels + 1; ++depth) {
        QList<MaterialNeed> next;
        QHash<QString, int> at; // a material's place in `next`
        for (const MaterialNeed& need : level) {
            if (!book.descends(need.group, need.code, &result.withoutBatchQuantity)) {
                result.needs << need;
                continue;
            }
            result.descended = true;
            const double batch = book.batch(need.group, need.code);
            for (const RecipeBook::Line& line : book.recipe(need.code)) {
                if (line.quantity.isNull())
                    continue; // as the requirement query leaves a line without a quantity out
                const double quantity = need.quantity * line.quantity.toDouble() / batch;
                const QString key = keyOf(line.group, line.code);
                if (auto it = at.constFind(key); it != at.constEnd()) {
                    next[*it].quantity += quantity;
                } else {
                    at.insert(key, int(next.size()));
                    next << MaterialNeed{line.group, line.code, quantity};
                }
            }
        }
        level = next;
    }
    result.needs << level;
    return result;
}

} // namespace requirement
