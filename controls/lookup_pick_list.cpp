#include "controls/lookup_pick_list.h"

#include "platform/db/controls_disabled.h"
#include "platform/db/data_set.h"
#include "platform/db/field.h"

QStringList lookupPickList(const db::Field& field, int maxItems) {
    db::DataSet* lookup = field.kind() == db::FieldKind::Lookup ? field.lookupDataSet() : nullptr;
    if (!lookup || !lookup->isActive())
        return {};
    QStringList values;
    const db::Field* result = lookup->fieldByName(field.lookupResultField());
    const db::Bookmark here = lookup->bookmark();
    const db::ControlsDisabled quiet(*lookup);
    for (lookup->first(); !lookup->eof() && values.size() < maxItems; lookup->next())
        values << result->displayText();
    if (here.isValid())
        lookup->gotoBookmark(here);
    return values;
}

void chooseLookupValue(db::DataSet& dataSet, const db::Field& field, const QString& value) {
    db::DataSet* lookup = field.lookupDataSet();
    if (!lookup)
        return;
    const QVariant found =
        lookup->lookup(field.lookupResultField(), {value}, field.lookupKeyFields());
    const QVariantList keys =
        found.typeId() == QMetaType::QVariantList ? found.toList() : QVariantList{found};
    const QStringList names = db::splitFieldList(field.keyFields());
    if (dataSet.state() != db::DataSetState::Edit && dataSet.state() != db::DataSetState::Insert)
        dataSet.edit();
    for (int i = 0; i < names.size(); ++i)
        dataSet.fieldByName(names.at(i))->setValue(keys.value(i));
}
