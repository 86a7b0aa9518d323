#include "core/browsers/DataSet.h"
#include "core/services/Text.h"

namespace vellarion {

const std::vector<const BrowserDataSet*>& allDataSets() {
    static const std::vector<const BrowserDataSet*> all{
        &internetExplorerDataSet(), &firefoxDataSet(), &chromeDataSet(), &operaDataSet(),
        &safariDataSet(),           &flockDataSet(),
    };
    return all;
}

const SelectiveItem* SelectiveWizardData::itemOfBox(std::string_view checkBox) const {
    for (const SelectiveItem& each : items) {
        if (each.checkBox == checkBox) {
            return &each;
        }
    }
    return nullptr;
}

const SelectiveItem* SelectiveWizardData::itemOfKey(std::string_view key) const {
    for (const SelectiveItem& each : items) {
        if (!each.key.empty() && equalsIgnoreCase(each.key, key)) {
            return &each;
        }
    }
    return nullptr;
}

const BrowserDataSet* findDataSet(std::string_view id) {
    for (const BrowserDataSet* data : allDataSets()) {
        if (equalsIgnoreCase(data->id, id)) {
            return data;
        }
    }
    return nullptr;
}

} // namespace vellarion
